#include "badPicData.h"

#include <allegro.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace {
using bytes = std::vector<unsigned char>;
using objectList = std::vector<badPicData::object>;

// Where the numbers sit in an uncompressed datafile: the packfile magic "slh.", the datafile
// magic "ALL.", then the object count, each 32 bits big-endian.
constexpr std::size_t datafileMagicAt = 4;
constexpr std::size_t countAt = 8;
constexpr std::size_t firstObjectAt = 12;

// The objects the damage is done to, and the sizes it uses.
constexpr std::size_t unusedObject = 4;
constexpr std::size_t propertyObject = 3;
constexpr std::size_t notBitmapObject = 5;
constexpr std::size_t shortBitmapObject = 9;
constexpr std::size_t shotObject = 12;
constexpr int nestingAccepted = 8;
constexpr std::size_t randomLength = 4096;
constexpr std::size_t longPropertyLength = 5000;

long bigEndian(const bytes& data, std::size_t at) {
    return static_cast<int32_t>(static_cast<uint32_t>(data[at]) << 24 | data[at + 1] << 16 |
                                data[at + 2] << 8 | data[at + 3]);
}

void putBigEndian(bytes& data, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; i++) {
        data[at + i] = static_cast<unsigned char>(value >> (24 - 8 * i));
    }
}

// Splits count objects of an uncompressed datafile starting at `at`; false when they do not fit.
bool parseObjects(const bytes& data, std::size_t& at, long count, objectList& list) {
    constexpr std::size_t propertyHeader = 12, objectHeader = 12;
    for (long i = 0; i < count; i++) {
        badPicData::object next;
        const std::size_t start = at;
        while (at + propertyHeader <= data.size() && bigEndian(data, at) == DAT_PROPERTY) {
            const long length = bigEndian(data, at + 8);
            if (length < 0 || at + propertyHeader + length > data.size()) {
                return false;
            }
            at += propertyHeader + length;
        }
        next.properties.assign(data.begin() + start, data.begin() + at);
        if (at + objectHeader > data.size()) {
            return false;
        }
        next.type = bigEndian(data, at);
        const long fileSize = bigEndian(data, at + 4), dataSize = bigEndian(data, at + 8);
        at += objectHeader;
        if (dataSize < 0 || fileSize != dataSize || at + dataSize > data.size()) {
            return false; // compressed, or not a datafile
        }
        if (next.type == DAT_FILE) {
            bytes inner(data.begin() + at, data.begin() + at + dataSize);
            std::size_t innerAt = 4;
            if (inner.size() < innerAt ||
                !parseObjects(inner, innerAt, bigEndian(inner, 0), next.children)) {
                return false;
            }
        } else {
            next.contents.assign(data.begin() + at, data.begin() + at + dataSize);
        }
        at += dataSize;
        list.push_back(next);
    }
    return true;
}

void writeObjects(PACKFILE* f, const objectList& list, bool compressEach) {
    pack_mputl(static_cast<long>(list.size()), f);
    for (const badPicData::object& o : list) {
        pack_fwrite(o.properties.data(), static_cast<long>(o.properties.size()), f);
        pack_mputl(o.type, f);
        // dat compresses the objects inside a nested datafile, never the datafile itself.
        const bool nested = o.type == DAT_FILE;
        PACKFILE* chunk = pack_fopen_chunk(f, compressEach && !nested);
        if (nested) {
            writeObjects(chunk, o.children, compressEach);
        } else {
            pack_fwrite(o.contents.data(), static_cast<long>(o.contents.size()), chunk);
        }
        pack_fclose_chunk(chunk);
    }
}

enum class packing { none, whole, eachObject };

bool writeDatafile(const std::string& path, const objectList& list, packing how) {
    PACKFILE* f = pack_fopen(path.c_str(), how == packing::whole ? F_WRITE_PACKED : F_WRITE_NOPACK);
    if (f == nullptr) {
        return false;
    }
    pack_mputl(DAT_MAGIC, f);
    writeObjects(f, list, how == packing::eachObject);
    return pack_fclose(f) == 0;
}

bool readBytes(const std::string& path, bytes& data) {
    std::ifstream in(path, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return static_cast<bool>(in) || in.eof();
}

bool writeBytes(const std::string& path, const bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out);
}

// Rewrites the file at path through an edit of its bytes.
template <class Edit> bool editBytes(const std::string& path, Edit edit) {
    bytes data;
    if (!readBytes(path, data) || data.size() <= firstObjectAt) {
        return false;
    }
    edit(data);
    return writeBytes(path, data);
}

// The object wrapped in `levels` datafiles, each holding only the one inside it.
badPicData::object nestedIn(const badPicData::object& inside, int levels) {
    badPicData::object result = inside;
    for (int i = 0; i < levels; i++) {
        badPicData::object outer;
        outer.type = DAT_FILE;
        outer.children.push_back(result);
        result = outer;
    }
    return result;
}

// A bitmap's header: colour depth, width and height, 16 bits each, big-endian.
void setBitmapHeader(bytes& contents, int depth, int width, int height) {
    const int fields[3] = {depth, width, height};
    for (int i = 0; i < 3; i++) {
        contents[2 * i] = static_cast<unsigned char>(fields[i] >> 8 & 0xff);
        contents[2 * i + 1] = static_cast<unsigned char>(fields[i] & 0xff);
    }
}

int bitmapDepth(const bytes& contents) {
    return static_cast<int16_t>(contents[0] << 8 | contents[1]);
}
} // namespace

badPicData::badPicData(const std::string& soundFile) {
    bytes data;
    if (!readBytes(soundFile, data) || data.size() < firstObjectAt ||
        bigEndian(data, 0) != F_NOPACK_MAGIC || bigEndian(data, datafileMagicAt) != DAT_MAGIC) {
        return;
    }
    std::size_t at = firstObjectAt;
    objectList list;
    if (parseObjects(data, at, bigEndian(data, countAt), list) && at == data.size() &&
        list.size() > shotObject) {
        objects = list;
    }
}

bool badPicData::write(picDamage damage, const std::string& path) const {
    if (!ready()) {
        return false;
    }
    std::error_code error;
    std::filesystem::remove_all(path, error);
    if (error) {
        return false;
    }

    switch (damage) {
    case picDamage::missing:
        return true;
    case picDamage::folder:
        return std::filesystem::create_directory(path, error);
    case picDamage::empty:
        return writeBytes(path, {});
    case picDamage::randomBytes: {
        std::mt19937 noise(20240601);
        bytes data(randomLength);
        for (unsigned char& b : data) {
            b = static_cast<unsigned char>(noise() & 0xff);
        }
        return writeBytes(path, data);
    }
    default:
        break;
    }

    objectList list = objects;
    packing how = packing::none;
    switch (damage) {
    case picDamage::compressedWhole:
        how = packing::whole;
        break;
    case picDamage::compressedEach:
    case picDamage::compressedCutShort:
        how = packing::eachObject;
        break;
    case picDamage::nestedObject4:
        list[unusedObject] = nestedIn(objects[shotObject], 1);
        break;
    case picDamage::nestedEightDeep:
        list[unusedObject] = nestedIn(objects[shotObject], nestingAccepted);
        break;
    case picDamage::nestedNineDeep:
        list[unusedObject] = nestedIn(objects[shotObject], nestingAccepted + 1);
        break;
    case picDamage::thirteenObjects:
        list.resize(13);
        break;
    case picDamage::object5NotBitmap:
        list[notBitmapObject] = objects[unusedObject];
        break;
    case picDamage::object12Empty: {
        bytes& contents = list[shotObject].contents;
        const int depth = bitmapDepth(contents);
        contents.resize(6);
        setBitmapHeader(contents, depth, 0, 0);
        break;
    }
    case picDamage::hugeBitmap: {
        bytes& contents = list[shotObject].contents;
        setBitmapHeader(contents, bitmapDepth(contents), 65535, 65535);
        break;
    }
    case picDamage::unsupportedDepth: {
        bytes& contents = list[shotObject].contents;
        const int width = contents[2] << 8 | contents[3], height = contents[4] << 8 | contents[5];
        setBitmapHeader(contents, 12, width, height);
        break;
    }
    case picDamage::sizeDisagrees:
        list[shortBitmapObject].contents.pop_back();
        break;
    case picDamage::longProperty: {
        bytes record(12 + longPropertyLength, 'x');
        putBigEndian(record, 0, DAT_PROPERTY);
        putBigEndian(record, 4, DAT_ID('N', 'O', 'T', 'E'));
        putBigEndian(record, 8, longPropertyLength);
        bytes& properties = list[propertyObject].properties;
        properties.insert(properties.end(), record.begin(), record.end());
        break;
    }
    case picDamage::fontObject:
        list[unusedObject].type = DAT_FONT;
        break;
    default:
        break;
    }
    if (!writeDatafile(path, list, how)) {
        return false;
    }

    switch (damage) {
    case picDamage::wrongMagic:
        return editBytes(path, [](bytes& data) { data[datafileMagicAt + 3] = '?'; });
    case picDamage::cutInHalf:
        return editBytes(path, [](bytes& data) { data.resize(data.size() / 2); });
    case picDamage::lastByteMissing:
    case picDamage::compressedCutShort:
        return editBytes(path, [](bytes& data) { data.pop_back(); });
    case picDamage::trailingBytes:
        return editBytes(path, [](bytes& data) {
            const std::string junk = "trailing";
            data.insert(data.end(), junk.begin(), junk.end());
        });
    case picDamage::absurdCount:
        return editBytes(path, [](bytes& data) { putBigEndian(data, countAt, 0x7fffffff); });
    default:
        return true;
    }
}
