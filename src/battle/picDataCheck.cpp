#include "picDataCheck.h"

#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {
// Limits far beyond what the game's pictures need; they stop a damaged count or size from making
// Allegro's loader allocate, or walk, whatever the file asks for.
constexpr long maxObjects = 4096;       // per datafile, nested ones included
constexpr long maxPropertyBytes = 4096; // a name, a date or a file path
constexpr long bitmapHeaderBytes = 6;   // colour depth, width and height, 16 bits each
constexpr long maxObjectBytes =
    bitmapHeaderBytes + 4L * picDataCheck::maxPictureSide * picDataCheck::maxPictureSide;
constexpr long paletteBytes = 256 * 4; // red, green, blue and padding for each of 256 colours
constexpr long readPiece = 4096;       // bytes read at a time when passing over contents

// The grabber's own notes about a datafile, kept unless dat strips them; Allegro keeps them as
// plain data.
constexpr long grabberInfo = DAT_ID('i', 'n', 'f', 'o');

// Reads an unsigned big-endian number of 1 to 4 bytes, as datafiles store numbers; false when the
// stream ends first.
bool readNumber(PACKFILE* f, int bytes, unsigned long& value) {
    unsigned char buffer[4];
    if (pack_fread(buffer, bytes, f) != bytes) {
        return false;
    }
    value = 0;
    for (int i = 0; i < bytes; i++) {
        value = value << 8 | buffer[i];
    }
    return true;
}

// A signed 32-bit number, the way counts, sizes and type IDs are stored.
bool readLong(PACKFILE* f, long& value) {
    unsigned long raw = 0;
    if (!readNumber(f, 4, raw)) {
        return false;
    }
    value = static_cast<int32_t>(raw);
    return true;
}

// Reads and drops up to count bytes; returns how many there were.
long skip(PACKFILE* f, long count) {
    unsigned char piece[readPiece];
    long done = 0;
    while (done < count) {
        const long got = pack_fread(piece, std::min(readPiece, count - done), f);
        if (got <= 0) {
            break;
        }
        done += got;
    }
    return done;
}

// Bytes per pixel as Allegro stores a bitmap of that colour depth: 15 and 16 bits as 5.6.5,
// 24 and 32 bits as 8.8.8, -32 (with alpha) as 8.8.8.8; 0 for a depth Allegro cannot load.
long bytesPerPixel(int depth) {
    switch (depth) {
    case 8:
        return 1;
    case 15:
    case 16:
        return 2;
    case 24:
    case 32:
        return 3;
    case -32:
        return 4;
    default:
        return 0;
    }
}

// Only types whose contents are checked here, or which Allegro copies as they are, may pass:
// the loaders of fonts, samples, sprites and the like trust their contents too.
bool isAccepted(long type) {
    return type == DAT_BITMAP || type == DAT_FILE || type == DAT_PALETTE || type == DAT_DATA ||
           type == grabberInfo;
}

// A type ID as its four letters ("FONT"), or in hexadecimal when they are not printable.
std::string typeName(long type) {
    const auto id = static_cast<uint32_t>(type);
    std::string name;
    for (int shift = 24; shift >= 0; shift -= 8) {
        name += static_cast<char>(id >> shift & 0xff);
    }
    const bool printable =
        std::all_of(name.begin(), name.end(), [](char c) { return c >= ' ' && c <= '~'; });
    if (!printable || name.find_first_not_of(' ') == std::string::npos) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08x", static_cast<unsigned>(id));
        return hex;
    }
    name.erase(name.find_last_not_of(' ') + 1);
    return name;
}

// "object 4", or "object 4.2" for object 2 of the datafile that is object 4.
std::string childName(const std::string& owner, long index) {
    const std::string number = std::to_string(index);
    return owner.empty() ? "object " + number : owner + "." + number;
}

// The subject of a message about a whole datafile: the file itself or the nested object.
std::string subject(const std::string& owner) {
    return owner.empty() ? "it" : owner;
}

std::string checkObjects(PACKFILE* f, const std::string& owner, int depth);

std::string checkBitmap(PACKFILE* chunk, long declared, const std::string& name) {
    if (declared < bitmapHeaderBytes) {
        return name + " is too small to be a picture";
    }
    unsigned long depthField = 0, width = 0, height = 0;
    if (!readNumber(chunk, 2, depthField) || !readNumber(chunk, 2, width) ||
        !readNumber(chunk, 2, height)) {
        return name + " is cut short";
    }
    const int depth = static_cast<int16_t>(depthField);
    const long pixelBytes = bytesPerPixel(depth);
    if (pixelBytes == 0) {
        // Allegro's loader frees such a picture twice.
        return name + " has colour depth " + std::to_string(depth) + ", which Allegro cannot load";
    }
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width == 0 || height == 0) {
        return name + " is an empty picture (" + size + ")";
    }
    const unsigned long side = picDataCheck::maxPictureSide;
    if (width > side || height > side) {
        return name + " is a " + size + " picture, more than " + std::to_string(side) +
               " pixels wide or high";
    }
    const long needed = bitmapHeaderBytes + static_cast<long>(width * height) * pixelBytes;
    if (declared != needed) {
        return name + " holds " + std::to_string(declared) + " bytes, its " + size +
               " picture needs " + std::to_string(needed);
    }
    const long pixels = needed - bitmapHeaderBytes;
    return skip(chunk, pixels) == pixels ? "" : name + " is cut short";
}

// An object's contents, read through the same chunk Allegro's loader reads them from, and never
// past its declared length: a compressed chunk hands out bytes beyond it, taken from whatever
// follows, and the walk would then no longer meet the objects where the loader meets them.
std::string checkContents(PACKFILE* chunk, long type, const std::string& name, int depth) {
    // No Allegro call tells a chunk's length; until it is read, what is left of it is the
    // uncompressed length its header declares.
    const long declared = chunk->normal.todo;
    const bool compressed = (chunk->normal.flags & PACKFILE_FLAG_PACK) != 0;
    if (declared < 0 || declared > maxObjectBytes) {
        return name + " claims to hold " + std::to_string(declared) + " bytes";
    }
    if (type == DAT_BITMAP) {
        return checkBitmap(chunk, declared, name);
    }
    if (type == DAT_FILE) {
        // Objects inside a compressed chunk could overrun its end unnoticed; dat never writes one.
        if (compressed) {
            return name + " is a compressed nested datafile";
        }
        if (depth + 1 > picDataCheck::maxNesting) {
            return name + " nests datafiles more than " + std::to_string(picDataCheck::maxNesting) +
                   " deep";
        }
        return checkObjects(chunk, name, depth + 1);
    }
    if (type == DAT_PALETTE && declared != paletteBytes) {
        return name + " holds " + std::to_string(declared) + " bytes, a palette needs " +
               std::to_string(paletteBytes);
    }
    // Plain data, the grabber's notes and palettes are taken as they are.
    return skip(chunk, declared) == declared ? "" : name + " is cut short";
}

std::string checkObject(PACKFILE* f, const std::string& name, int depth) {
    long type = 0;
    // Properties (a name, where the object came from, ...) come first, each as "prop", its ID,
    // its length and its text.
    for (;;) {
        if (!readLong(f, type)) {
            return name + " is cut short";
        }
        if (type != DAT_PROPERTY) {
            break;
        }
        long propertyId = 0, length = 0;
        if (!readLong(f, propertyId) || !readLong(f, length)) {
            return name + " is cut short";
        }
        if (length < 0 || length > maxPropertyBytes) {
            return name + " has a property of " + std::to_string(length) + " bytes";
        }
        if (skip(f, length) != length) {
            return name + " is cut short";
        }
    }
    if (!isAccepted(type)) {
        return name + " is of type " + typeName(type) + ", which the game does not accept";
    }
    PACKFILE* chunk = pack_fopen_chunk(f, FALSE);
    if (chunk == nullptr) {
        return name + " cannot be read";
    }
    const std::string problem = checkContents(chunk, type, name, depth);
    pack_fclose_chunk(chunk);
    return problem;
}

// The objects of a datafile, the file itself or a nested one: the count, each object, and
// nothing after the last.
std::string checkObjects(PACKFILE* f, const std::string& owner, int depth) {
    long count = 0;
    if (!readLong(f, count)) {
        return subject(owner) + " is cut short";
    }
    if (count < 0 || count > maxObjects) {
        return subject(owner) + " claims to hold " + std::to_string(count) + " objects";
    }
    for (long i = 0; i < count; i++) {
        const std::string problem = checkObject(f, childName(owner, i), depth);
        if (!problem.empty()) {
            return problem;
        }
    }
    // dat and the grabber end a datafile right after its last object. Anything more means a
    // count or a size is wrong, which Allegro's loader would pass over in silence.
    return pack_getc(f) == EOF ? "" : subject(owner) + " has bytes after its last object";
}
} // namespace

std::string picDataCheck::checkFile(const char* fileName) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_type type = fs::status(fileName, error).type();
    if (type == fs::file_type::not_found) {
        return "it does not exist";
    }
    if (error) {
        return "it cannot be read";
    }
    if (type == fs::file_type::directory) {
        return "it is a folder";
    }
    // A pipe or a device could block the game or never end.
    if (type != fs::file_type::regular) {
        return "it is not a plain file";
    }
    if (fs::file_size(fileName, error) == 0 && !error) {
        return "it is empty";
    }

    // The packed mode undoes the compression of a datafile compressed as a whole.
    errno = 0;
    PACKFILE* file = pack_fopen(fileName, F_READ_PACKED);
    if (file == nullptr) {
        // Allegro reports a file that does not start as a packfile with EDOM.
        return errno == EDOM ? "it is not an Allegro datafile" : "it cannot be read";
    }
    unsigned long magic = 0;
    std::string problem;
    if (!readNumber(file, 4, magic) || magic != static_cast<unsigned long>(DAT_MAGIC)) {
        problem = "it is not an Allegro datafile";
    } else {
        problem = checkObjects(file, "", 0);
    }
    pack_fclose(file);
    return problem;
}

std::string picDataCheck::checkLoaded(const DATAFILE* file, const std::vector<int>& picturesRead) {
    if (file == nullptr) {
        return "it cannot be loaded";
    }
    const int needed = picturesRead.empty() ? 0 : picturesRead.back() + 1;
    int count = 0;
    while (count < needed && file[count].type != DAT_END) {
        count++;
    }
    if (count < needed) {
        return "it holds " + std::to_string(count) + " objects, the game needs " +
               std::to_string(needed);
    }
    for (int i : picturesRead) {
        if (file[i].type != DAT_BITMAP || file[i].dat == nullptr) {
            return "object " + std::to_string(i) + " is not a bitmap";
        }
        const BITMAP* pic = static_cast<const BITMAP*>(file[i].dat);
        // An empty picture would give a unit of size 0 or nothing to stretch over the arena.
        if (pic->w <= 0 || pic->h <= 0) {
            return "object " + std::to_string(i) + " is an empty picture (" +
                   std::to_string(pic->w) + " x " + std::to_string(pic->h) + ")";
        }
    }
    return "";
}
