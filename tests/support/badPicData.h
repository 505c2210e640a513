#pragma once

#include <string>
#include <vector>

// Copies of the game's picture datafile, each repacked or spoilt in one known way, for tests that
// check what the game makes of them.
enum class picDamage {
    // Sound files: the game must take them.
    asBuilt,         // byte for byte the file the build packs
    compressedWhole, // the whole file LZSS-compressed, as dat -c2 writes it
    compressedEach,  // every object compressed on its own, as dat -c1 writes it
    nestedObject4,   // object 4 is a datafile holding a copy of object 12
    nestedEightDeep, // object 4 is that copy inside 8 datafiles nested in each other
    // Spoilt as a file.
    missing,         // nothing at the path
    folder,          // an empty folder at the path
    empty,           // 0 bytes
    randomBytes,     // 4096 bytes of noise from a fixed seed
    wrongMagic,      // the datafile magic "ALL." turned into "ALL?"
    cutInHalf,       // the first half of the file
    lastByteMissing, // all but the last byte
    trailingBytes,   // a few bytes after the last object
    // Spoilt inside: a sound datafile the game cannot use.
    thirteenObjects,  // only the first 13 objects
    object5NotBitmap, // object 5 is a plain data object
    // Spoilt inside: a structure Allegro's loader would trip over.
    object12Empty,     // object 12 is a 0 x 0 picture
    hugeBitmap,        // object 12 claims 65535 x 65535 pixels and keeps its 8 x 8 pixels
    unsupportedDepth,  // object 12 claims a colour depth of 12 bits
    sizeDisagrees,     // object 9 holds one byte less than its picture needs
    absurdCount,       // the file claims 2147483647 objects
    longProperty,      // object 3 carries a property of 5000 bytes
    fontObject,        // object 4 is typed as a font
    nestedNineDeep,    // object 4 nests datafiles 9 deep
    compressedCutShort // compressed like compressedEach, without its last byte
};

// Makes the copies from the objects of the sound, uncompressed datafile the build packs. They are
// written with Allegro's own packfile functions (pack_mputl, pack_fopen_chunk, F_WRITE_PACKED),
// so compressed copies are compressed as dat compresses them; damage to the file's bytes is
// plain byte editing of what was written.
class badPicData {
  public:
    // Reads and splits the sound file; ready() tells whether that worked. Needs Allegro started.
    explicit badPicData(const std::string& soundFile);

    // Whether the sound file could be read as an uncompressed datafile.
    bool ready() const { return !objects.empty(); }

    // Puts the copy at path, replacing any file or folder there; false when it cannot.
    bool write(picDamage damage, const std::string& path) const;

    // One object as the datafile stores it; nested datafiles keep their objects in children.
    struct object {
        std::vector<unsigned char> properties; // the raw property records before the object
        long type = 0;
        std::vector<unsigned char> contents; // uncompressed
        std::vector<object> children;
    };

  private:
    std::vector<object> objects;
};
