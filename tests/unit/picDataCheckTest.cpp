// What the game makes of its picture datafile at start-up: the file's structure is checked before
// Allegro's loader sees it, and the loaded objects after. Every spoilt copy comes from the file
// the build packs, through badPicData.

#include <gtest/gtest.h>

#include <allegro.h>
#include <stdlib.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "badPicData.h"
#include "battleMain.h"
#include "dataObj.h"
#include "picDataCheck.h"
#include "pictureColours.h"
#include "testWorld.h"

namespace {

constexpr long bitmapHeaderBytes = 6; // colour depth, width, height
constexpr long bytesPer24BitPixel = 3;

std::string contentsOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

long bitmapBytes(int width, int height) {
    return bitmapHeaderBytes + static_cast<long>(width) * height * bytesPer24BitPixel;
}

class picDataFile : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { startHeadlessAllegro(); }

    void SetUp() override {
        ASSERT_TRUE(maker.ready()) << "cannot split " << PIC_DATA_PATH;
        std::string pattern =
            (std::filesystem::temp_directory_path() / "picDataCheckXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        path = folder + "/picData.dat";
    }

    void TearDown() override {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }

    // Writes the copy where the game would look for its file, and returns that path.
    std::string copy(picDamage damage) {
        EXPECT_TRUE(maker.write(damage, path));
        return path;
    }

    // What the game's start-up says about the file: "" when it would start.
    static std::string startUpProblem(const std::string& file, bool* reachedLoader = nullptr) {
        dataObj context;
        battleMain battle;
        battle.setDataObj(&context);
        const int result = battle.loadPictures(file.c_str());
        EXPECT_EQ(result == 0, battle.getLoadProblem().empty());
        if (reachedLoader != nullptr) {
            *reachedLoader = context.getDatafile() != nullptr;
        }
        return battle.getLoadProblem();
    }

    // The structure check refuses the copy, and the game gives the same reason.
    void expectRefused(picDamage damage, const std::string& reason) {
        const std::string file = copy(damage);
        EXPECT_EQ(picDataCheck::checkFile(file.c_str()), reason);
        bool reachedLoader = true;
        EXPECT_EQ(startUpProblem(file, &reachedLoader), reason);
        EXPECT_FALSE(reachedLoader) << "a refused file went on to load_datafile";
    }

    // The copy is sound and the game starts with it.
    void expectAccepted(picDamage damage) {
        const std::string file = copy(damage);
        EXPECT_EQ(picDataCheck::checkFile(file.c_str()), "");
        EXPECT_EQ(startUpProblem(file), "");
    }

    badPicData maker{PIC_DATA_PATH};
    std::string folder;
    std::string path;
};

// soundFiles

TEST_F(picDataFile, theBuiltFilePassesBothChecks) {
    EXPECT_EQ(picDataCheck::checkFile(PIC_DATA_PATH), "");
    EXPECT_EQ(startUpProblem(PIC_DATA_PATH), "");
}

TEST_F(picDataFile, aCopyWrittenBackObjectByObjectIsTheBuiltFile) {
    // Every other copy is made this way, so they differ from the built file only as intended.
    copy(picDamage::asBuilt);
    EXPECT_EQ(contentsOf(path), contentsOf(PIC_DATA_PATH));
}

TEST_F(picDataFile, aWhollyCompressedCopyPasses) {
    copy(picDamage::compressedWhole);
    PACKFILE* raw = pack_fopen(path.c_str(), F_READ);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(pack_mgetl(raw), F_PACK_MAGIC) << "the copy is not compressed";
    pack_fclose(raw);
    expectAccepted(picDamage::compressedWhole);
}

TEST_F(picDataFile, aCopyCompressedObjectByObjectPasses) {
    copy(picDamage::compressedEach);
    EXPECT_LT(std::filesystem::file_size(path), std::filesystem::file_size(PIC_DATA_PATH) / 2)
        << "the copy is not compressed";
    expectAccepted(picDamage::compressedEach);
}

TEST_F(picDataFile, nestedDatafilesPassUpToEightDeep) {
    expectAccepted(picDamage::nestedObject4);
    expectAccepted(picDamage::nestedEightDeep);
}

// spoiltFiles

TEST_F(picDataFile, aMissingFileIsReportedAsMissing) {
    expectRefused(picDamage::missing, "it does not exist");
}

TEST_F(picDataFile, aFolderOfThatNameIsReportedAsAFolder) {
    expectRefused(picDamage::folder, "it is a folder");
}

TEST_F(picDataFile, anEmptyFileIsReportedAsEmpty) {
    expectRefused(picDamage::empty, "it is empty");
}

TEST_F(picDataFile, randomBytesAreNotADatafile) {
    expectRefused(picDamage::randomBytes, "it is not an Allegro datafile");
}

TEST_F(picDataFile, aWrongMagicNumberIsNotADatafile) {
    expectRefused(picDamage::wrongMagic, "it is not an Allegro datafile");
}

TEST_F(picDataFile, theFirstHalfOfTheFileEndsInsideTheFloor) {
    // The floor, object 0, fills most of the file, so half the file ends inside it.
    ASSERT_GT(bitmapBytes(floorPictureWidth, floorPictureHeight),
              static_cast<long>(std::filesystem::file_size(PIC_DATA_PATH) / 2));
    expectRefused(picDamage::cutInHalf, "object 0 is cut short");
}

TEST_F(picDataFile, aFileWithoutItsLastByteHasItsLastObjectCutShort) {
    expectRefused(picDamage::lastByteMissing, "object 13 is cut short");
}

TEST_F(picDataFile, aCompressedFileWithoutItsLastByteHasItsLastObjectCutShort) {
    expectRefused(picDamage::compressedCutShort, "object 13 is cut short");
}

TEST_F(picDataFile, bytesAfterTheLastObjectAreRefused) {
    expectRefused(picDamage::trailingBytes, "it has bytes after its last object");
}

// gameNeeds: sound datafiles without what the battle reads

TEST_F(picDataFile, thirteenObjectsAreTooFewForTheGame) {
    const std::string file = copy(picDamage::thirteenObjects);
    EXPECT_EQ(picDataCheck::checkFile(file.c_str()), "");
    EXPECT_EQ(startUpProblem(file), "it holds 13 objects, the game needs 14");
}

TEST_F(picDataFile, aPlainDataObjectWhereAPictureBelongsIsRefused) {
    const std::string file = copy(picDamage::object5NotBitmap);
    EXPECT_EQ(picDataCheck::checkFile(file.c_str()), "");
    EXPECT_EQ(startUpProblem(file), "object 5 is not a bitmap");
}

// loaderHazards: structures that Allegro's load_datafile would crash on or misread

TEST_F(picDataFile, anEmptyPictureIsRefusedBeforeLoading) {
    expectRefused(picDamage::object12Empty, "object 12 is an empty picture (0 x 0)");
}

TEST_F(picDataFile, aPictureClaiming65535By65535PixelsIsRefusedBeforeLoading) {
    expectRefused(picDamage::hugeBitmap,
                  "object 12 is a 65535 x 65535 picture, more than 4096 pixels wide or high");
}

TEST_F(picDataFile, aColourDepthAllegroCannotLoadIsRefused) {
    expectRefused(picDamage::unsupportedDepth,
                  "object 12 has colour depth 12, which Allegro cannot load");
}

TEST_F(picDataFile, aPictureHoldingFewerBytesThanItsSizeNeedsIsRefused) {
    const long needed = bitmapBytes(playerPictureSize, playerPictureSize);
    const std::string size =
        std::to_string(playerPictureSize) + " x " + std::to_string(playerPictureSize);
    expectRefused(picDamage::sizeDisagrees, "object 9 holds " + std::to_string(needed - 1) +
                                                " bytes, its " + size + " picture needs " +
                                                std::to_string(needed));
}

TEST_F(picDataFile, anAbsurdObjectCountIsRefused) {
    expectRefused(picDamage::absurdCount, "it claims to hold 2147483647 objects");
}

TEST_F(picDataFile, anOverlongPropertyIsRefused) {
    expectRefused(picDamage::longProperty, "object 3 has a property of 5000 bytes");
}

TEST_F(picDataFile, objectTypesWhoseLoadersTrustTheirContentsAreRefused) {
    expectRefused(picDamage::fontObject,
                  "object 4 is of type FONT, which the game does not accept");
}

TEST_F(picDataFile, datafilesNestedNineDeepAreRefused) {
    expectRefused(picDamage::nestedNineDeep,
                  "object 4.0.0.0.0.0.0.0.0 nests datafiles more than 8 deep");
}

// seeding

TEST_F(picDataFile, randIsSeededFromTheClockEvenWhenTheFileIsRefused) {
    srand(12345);
    const time_t before = time(nullptr);
    startUpProblem(copy(picDamage::missing));
    const int drawn = rand();
    const time_t after = time(nullptr);
    bool seededInBetween = false;
    for (time_t t = before; t <= after; t++) {
        srand(static_cast<unsigned>(t));
        seededInBetween = seededInBetween || rand() == drawn;
    }
    EXPECT_TRUE(seededInBetween);
}

} // namespace
