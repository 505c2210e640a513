// What the game's start-up makes of a picture datafile: copies of the built picData.dat, each
// repacked or spoilt by editing its bytes, go through battleMain::loadPictures. A file is taken,
// or refused for a reason, and one whose structure is refused never reaches Allegro's loader.

#include <gtest/gtest.h>

#include <allegro.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "battleMain.h"
#include "testBattle.h"

namespace {

std::string bigEndian(long value, int length = 4) {
    std::string b;
    for (int i = length - 1; i >= 0; i--) {
        b += static_cast<char>(value >> (8 * i) & 0xff);
    }
    return b;
}

// The built file's bytes: the magic numbers, the object count, then each object with its
// properties ("prop", ID, length, text), its type, its stored size and size, and its contents.
struct picData {
    std::string bytes;
    std::vector<size_t> start, header, end; // by object

    picData() {
        std::ifstream in(PIC_DATA_PATH, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        parse();
    }
    size_t number(size_t at) const {
        return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at]) << 24 |
                                     static_cast<unsigned char>(bytes[at + 1]) << 16 |
                                     static_cast<unsigned char>(bytes[at + 2]) << 8 |
                                     static_cast<unsigned char>(bytes[at + 3]));
    }
    void parse() {
        start.clear(), header.clear(), end.clear();
        for (size_t at = 12; start.size() < 14; at = end.back()) {
            start.push_back(at);
            for (; bytes.compare(at, 4, "prop") == 0; at += 12 + number(at + 8)) {
            }
            header.push_back(at);
            end.push_back(at + 12 + number(at + 8));
        }
    }
    static std::string object(const std::string& type, const std::string& contents) {
        return type + bigEndian(contents.size()) + bigEndian(contents.size()) + contents;
    }
    void replace(int i, const std::string& type, const std::string& contents) {
        bytes.replace(header[i], end[i] - header[i], object(type, contents));
        parse();
    }
    // Object 12 as a width x height picture of that colour depth.
    void picture(int depth, int width, int height) {
        const int size = depth == 8 ? 1 : depth == 15 || depth == 16 ? 2 : depth == -32 ? 4 : 3;
        replace(12, "BMP ",
                bigEndian(depth, 2) + bigEndian(width, 2) + bigEndian(height, 2) +
                    std::string(width * height * size, '@'));
    }
    // Object 4 as a datafile holding a copy of object 12, nested `levels` deep.
    void nest(int levels) {
        std::string inner = bytes.substr(start[12], end[12] - start[12]);
        for (int level = 1; level < levels; level++) {
            inner = object("FILE", bigEndian(1) + inner);
        }
        replace(4, "FILE", bigEndian(1) + inner);
    }
};

// Why the game will not start with the file (stored plain, compressed as dat -c2 does it, as a
// folder or not at all) in a scratch folder, or "" when it starts; `loaded` tells whether the
// file reached Allegro's loader.
std::string startWith(const picData& f, bool& loaded, const std::string& stored = "plain") {
    std::string folder = (std::filesystem::temp_directory_path() / "picDataXXXXXX").string();
    EXPECT_NE(mkdtemp(folder.data()), nullptr);
    const std::string path = folder + "/picData.dat";
    if (stored == "plain") {
        std::ofstream(path, std::ios::binary) << f.bytes;
    } else if (stored == "compressed") {
        PACKFILE* out = pack_fopen(path.c_str(), F_WRITE_PACKED);
        pack_fwrite(f.bytes.data() + 4, f.bytes.size() - 4, out);
        pack_fclose(out);
    } else if (stored == "folder") {
        std::filesystem::create_directory(path);
    }
    dataObj context;
    battleMain battle;
    battle.setDataObj(&context);
    const int result = battle.loadPictures(path.c_str());
    loaded = context.getDatafile() != nullptr;
    std::filesystem::remove_all(folder);
    const std::string said = battle.getStartProblem();
    const std::string named = "\"picData.dat\" in " + folder + " is unusable: ";
    EXPECT_EQ(result, said.empty() ? 0 : -1);
    return said.rfind(named, 0) == 0 ? said.substr(named.size()) : said;
}

struct damaged {
    const char* name;
    std::function<void(picData&)> spoil;
    std::string reason;
};

const damaged damages[] = {
    {"empty", [](picData& f) { f.bytes.clear(); }, "it is empty"},
    {"wrongMagic", [](picData& f) { f.bytes[7] = '?'; }, "it is not an Allegro datafile"},
    {"lastByteMissing", [](picData& f) { f.bytes.pop_back(); }, "object 13 is cut short"},
    {"trailingBytes", [](picData& f) { f.bytes += "xyz"; }, "it has bytes after its last object"},
    {"absurdCount", [](picData& f) { f.bytes.replace(8, 4, "\x7f\xff\xff\xff"); },
     "it claims to hold 2147483647 objects"},
    {"longProperty", [](picData& f) { f.bytes.replace(f.start[3] + 8, 4, bigEndian(5000)); },
     "object 3 has a property of 5000 bytes"},
    {"fontObject", [](picData& f) { f.bytes.replace(f.header[4], 4, "FONT"); },
     "object 4 is of type FONT, which the game does not accept"},
    {"nestedNineDeep", [](picData& f) { f.nest(9); },
     "object 4.0.0.0.0.0.0.0.0 nests datafiles more than 8 deep"},
    {"shortPalette", [](picData& f) { f.replace(4, "PAL ", std::string(1000, 0)); },
     "object 4 holds 1000 bytes, a palette needs 1024"},
    {"emptyPicture", [](picData& f) { f.picture(24, 0, 0); },
     "object 12 is an empty picture (0 x 0)"},
    {"tooWide", [](picData& f) { f.picture(24, 4097, 1); },
     "object 12 is a 4097 x 1 picture, more than 4096 pixels wide or high"},
    {"depth12", [](picData& f) { f.picture(12, 8, 8); },
     "object 12 has colour depth 12, which Allegro cannot load"},
    {"sizeDisagrees",
     [](picData& f) { f.replace(9, "BMP ", f.bytes.substr(f.header[9] + 12, 3077)); },
     "object 9 holds 3077 bytes, its 32 x 32 picture needs 3078"},
    // Sound structures without what the battle reads: Allegro loads them, the game refuses them.
    {"thirteenObjects", [](picData& f) { f.bytes.resize(f.start[13]), f.bytes[11] = 13; },
     "it holds 13 objects, the game needs 14"},
    {"object5NotBitmap", [](picData& f) { f.bytes.replace(f.header[5], 4, "DATA"); },
     "object 5 is not a bitmap"},
};

void PrintTo(const damaged& d, std::ostream* os) {
    *os << d.reason;
}

class spoiltPicData : public ::testing::TestWithParam<damaged> {};

TEST_P(spoiltPicData, isRefusedForItsReason) {
    picData f;
    GetParam().spoil(f);
    bool loaded = false;
    EXPECT_EQ(startWith(f, loaded), GetParam().reason);
    EXPECT_EQ(loaded, std::string(GetParam().name) == "thirteenObjects" ||
                          std::string(GetParam().name) == "object5NotBitmap")
        << "only a sound structure reaches the loader";
}

INSTANTIATE_TEST_SUITE_P(picData, spoiltPicData, ::testing::ValuesIn(damages),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(picData, soundFilesAreTakenInEveryLayoutAndDepthAndAMissingOneIsNamed) {
    const std::pair<const char*, std::function<void(picData&)>> sound[] = {
        {"as built", [](picData&) {}},
        {"nested eight deep", [](picData& f) { f.nest(8); }},
        {"with a palette", [](picData& f) { f.replace(4, "PAL ", std::string(1024, 0)); }},
        {"4096 pixels wide", [](picData& f) { f.picture(24, 4096, 1); }},
        {"8 bits", [](picData& f) { f.picture(8, 8, 8); }},
        {"15 bits", [](picData& f) { f.picture(15, 8, 8); }},
        {"16 bits", [](picData& f) { f.picture(16, 8, 8); }},
        {"32 bits", [](picData& f) { f.picture(32, 8, 8); }},
        {"32 bits with alpha", [](picData& f) { f.picture(-32, 8, 8); }}};
    bool loaded = false;
    for (auto& [name, repack] : sound) {
        picData f;
        repack(f);
        EXPECT_EQ(startWith(f, loaded), "") << name;
        EXPECT_TRUE(loaded) << name;
    }
    EXPECT_EQ(startWith(picData(), loaded, "compressed"), "");
    EXPECT_EQ(startWith(picData(), loaded, "missing"), "it does not exist");
    EXPECT_EQ(startWith(picData(), loaded, "folder"), "it is a folder");
}

} // namespace
