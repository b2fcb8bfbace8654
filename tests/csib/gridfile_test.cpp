// The grid reader on synthetic grids of known fields: every storage variant gives the
// same values, each interpolation is exact on the fields it reproduces, and damaged
// headers are refused.
#include "csib/gridfile.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "csib/csibplatform.h"
#include "support/grid_writer.h"
#include "support/temp_folder.h"

namespace {

using gridtest::AsString;
using gridtest::Embedded;
using gridtest::GridLayout;

struct Block {
    csib_Block* block = nullptr;
    explicit Block(uint8_t gridMode) { EXPECT_EQ(CSIB_Ok, csib_Create(&block, gridMode, 6378137.0, 6356752.3142)); }
    ~Block() { csib_Free(&block); }
};

struct Grid {
    csib_GridFile* grid = nullptr;
    ~Grid() { gridfile_Close(&grid); }
};


csib_Status OpenFile(Grid& g, const Block& b, const std::string& path, int32_t offset = 0) {
    return gridfile_Open(&g.grid, b.block, reinterpret_cast<const uint8_t*>(path.c_str()), offset);
}

double Bilinear(int32_t r, int32_t c) { return 1.25 + 0.5 * r - 0.75 * c + 0.25 * r * c; }

struct Position {
    double lat, lon;
};
// Inside, on nodes, on the north and east borders and in the corners.
const Position kPositions[] = {{10.3, 20.6}, {10.0, 20.0}, {12.0, 21.25}, {11.77, 21.25}, {12.0, 20.13},
                               {10.5, 20.25}, {11.1, 20.9}};

double Expected(const GridLayout& s, const Position& p) {
    const double x = gridtest::NodeX(s, p.lon), y = gridtest::NodeY(s, p.lat);
    return 1.25 + 0.5 * y - 0.75 * x + 0.25 * y * x;
}

TEST(GridFile, EveryStorageVariantGivesTheSameValues) {
    TempFolder folder;
    int checked = 0;
    for (int type = 0; type <= 5; ++type) {
        for (int order = 0; order < 16; ++order) {
            GridLayout s;
            s.cellType = type;
            s.scale = type <= 2 ? 4.0 : (order & 1 ? 8.0 : 0.0);
            s.swap = order & 1;
            s.columnMajor = order & 2;
            s.linesAscending = !(order & 4);
            s.cellsAscending = !(order & 8);
            const std::vector<uint8_t> image = gridtest::GridImage(s, Bilinear);
            const std::string path = folder.Write("g.grd", AsString(image));
            const std::vector<uint8_t> container = gridtest::Container({image, image}, s.swap, 5);
            const std::string inContainer = folder.Write("g.cdg", AsString(container));
            const int32_t secondOffset = static_cast<int32_t>(container.size() - image.size());
            const std::vector<uint8_t> saved = Embedded("g.grd", image);

            Block byName(1), embedded(0);
            Grid file, atOffset, inImage;
            ASSERT_EQ(CSIB_Ok, OpenFile(file, byName, path));
            ASSERT_EQ(CSIB_Ok, OpenFile(atOffset, byName, inContainer, secondOffset));
            ASSERT_EQ(CSIB_Ok, gridfile_Open(&inImage.grid, embedded.block, saved.data(), 0));
            EXPECT_EQ(s.swap ? 1 : 0, file.grid->swapped);
            for (const Position& p : kPositions) {
                for (csib_GridFile* grid : {file.grid, atOffset.grid, inImage.grid}) {
                    double value = NAN;
                    ASSERT_EQ(CSIB_Ok, gridfile_Interpolate(grid, p.lat, p.lon, &value)) << type << " " << order;
                    EXPECT_NEAR(Expected(s, p), value, 1e-12) << type << " " << order << " " << p.lat << " " << p.lon;
                    ++checked;
                }
            }
        }
    }
    EXPECT_EQ(6 * 16 * 7 * 3, checked);
}

double Quadratics(int32_t r, int32_t c) {
    return 1.0 + r + 2.0 * c + r * r - c * c + 0.5 * r * c - 0.25 * r * r * c * c;
}

TEST(GridFile, EachMethodIsExactOnTheFieldsItReproduces) {
    TempFolder folder;
    struct Case {
        uint8_t methodBits;
        int16_t window;
        bool quadratic;
    };
    const Case cases[] = {{0x02, 2, false}, {0x04, 2, false}, {0x04, 3, false}, {0x04, 4, false}, {0x04, 5, false},
                          {0x08, 3, false}, {0x10, 4, false}, {0x08, 5, false}, {0x08, 3, true},  {0x10, 4, true},
                          {0x08, 5, true}};
    for (const Case& c : cases) {
        GridLayout s;
        s.rows = 7;
        s.columns = 8;
        s.methodBits = c.methodBits;
        s.window = c.window;
        const auto linear = [](int32_t r, int32_t col) { return 3.0 - 0.5 * r + 1.75 * col; };
        const gridtest::Field field = c.quadratic ? gridtest::Field(Quadratics) : gridtest::Field(linear);
        const std::string path = folder.Write("q.grd", AsString(gridtest::GridImage(s, field)));
        Block b(1);
        Grid g;
        ASSERT_EQ(CSIB_Ok, OpenFile(g, b, path));
        for (const Position& p : {Position{10.3, 20.6}, Position{11.1, 20.9}, Position{13.0, 21.75},
                                  Position{10.0, 20.0}, Position{12.4, 21.3}}) {
            const double x = gridtest::NodeX(s, p.lon), y = gridtest::NodeY(s, p.lat);
            const double want = c.quadratic ? 1.0 + y + 2.0 * x + y * y - x * x + 0.5 * y * x - 0.25 * y * y * x * x
                                            : 3.0 - 0.5 * y + 1.75 * x;
            double value = NAN;
            ASSERT_EQ(CSIB_Ok, gridfile_Interpolate(g.grid, p.lat, p.lon, &value));
            EXPECT_NEAR(want, value, 1e-11) << int(c.methodBits) << " " << c.window << " " << p.lat << " " << p.lon;
        }
    }
}

TEST(GridFile, SplineFollowsItsRecurrence) {
    TempFolder folder;
    GridLayout s;
    s.rows = 5;
    s.columns = 9;
    s.west = 0.0;
    s.columnSpacing = 1.0;
    s.methodBits = 0x04;
    s.window = 5;
    const auto field = [](int32_t, int32_t c) { return (c - 2.0) * (c - 2.0); };
    const std::string path = folder.Write("s.grd", AsString(gridtest::GridImage(s, field)));
    Block b(1);
    Grid g;
    ASSERT_EQ(CSIB_Ok, OpenFile(g, b, path));
    double value = NAN;
    ASSERT_EQ(CSIB_Ok, gridfile_Interpolate(g.grid, 11.0, 3.5, &value));
    EXPECT_NEAR(125.0 / 56.0, value, 1e-12);
}

TEST(GridFile, BordersWrappingAndNullCells) {
    TempFolder folder;
    Block b(1);
    {
        GridLayout s;  // east 21.25, north 12
        Grid g;
        ASSERT_EQ(CSIB_Ok, OpenFile(g, b, folder.Write("e.grd", AsString(gridtest::GridImage(s, Bilinear)))));
        double value = NAN;
        EXPECT_EQ(CSIB_Ok, gridfile_Interpolate(g.grid, 11.0, 21.25 + 1e-10 * 0.5, &value));
        EXPECT_NEAR(Expected(s, {11.0, 21.25}), value, 1e-12);
        EXPECT_EQ(CSIB_Ok, gridfile_Interpolate(g.grid, 12.0 - 0.5e-10, 20.0, &value));
        for (Position p : {Position{11.0, 21.25 + 1e-9}, Position{9.999, 20.5}, Position{NAN, 20.5},
                           Position{11.0, NAN}})
            EXPECT_EQ(CSIB_OutsideGrid, gridfile_Interpolate(g.grid, p.lat, p.lon, &value));
    }
    for (bool plane : {false, true}) {
        GridLayout s;
        s.west = 0.0;
        s.columns = 13;
        s.columnSpacing = 30.0;  // 0..360
        s.plane = plane;
        const auto field = [](int32_t r, int32_t c) { return 2.0 * r + c; };
        Grid g;
        ASSERT_EQ(CSIB_Ok, OpenFile(g, b, folder.Write("w.grd", AsString(gridtest::GridImage(s, field)))));
        double value = NAN;
        if (plane) {
            EXPECT_EQ(CSIB_OutsideGrid, gridfile_Interpolate(g.grid, 11.0, -10.0, &value));
        } else {
            ASSERT_EQ(CSIB_Ok, gridfile_Interpolate(g.grid, 11.0, -10.0, &value));
            EXPECT_NEAR(2.0 * 2.0 + 350.0 / 30.0, value, 1e-12);
        }
    }
    {
        GridLayout s;
        s.cellType = 1;
        s.scale = 100.0;
        s.hasNull = true;
        s.nullValue = -99.99;  // stored as -9999
        const auto field = [](int32_t r, int32_t c) { return r == 4 && c == 5 ? -99.99 : r + 0.01 * c; };
        Grid g;
        ASSERT_EQ(CSIB_Ok, OpenFile(g, b, folder.Write("n.grd", AsString(gridtest::GridImage(s, field)))));
        double value = 0.0;
        EXPECT_EQ(CSIB_NullCell, gridfile_Interpolate(g.grid, 11.9, 21.2, &value));
        EXPECT_EQ(-99.99, value);
        ASSERT_EQ(CSIB_Ok, gridfile_Interpolate(g.grid, 10.25, 20.1, &value));
        EXPECT_NEAR(0.5 + 0.01 * 0.4, value, 1e-12);
    }
}

TEST(GridFile, CacheSizeAndWindows) {
    TempFolder folder;
    Block b(1);
    struct Case {
        int32_t rows, columns;
        uint8_t methodBits;
        int16_t window;
        csib_Status status;
        int16_t openedWindow;
        uint16_t cacheSize;
    };
    const Case cases[] = {
        {4, 4, 0x08, 3, CSIB_Ok, 3, 3},
        {4, 4, 0x04, 4, CSIB_Ok, 4, 4},
        {6, 6, 0x02, 9, CSIB_Ok, 2, 5},
        {6, 4, 0x00, 7, CSIB_Ok, 2, 3},  // no method bit: bilinear
        {2, 2, 0x02, 0, CSIB_Ok, 2, 2},
        {2, 10, 0x04, 3, CSIB_BadGridDimensions, 0, 0},
        {8, 8, 0x04, 6, CSIB_BadGridDimensions, 0, 0},
        {8, 8, 0x04, 1, CSIB_BadGridDimensions, 0, 0},
        {8, 8, 0x08, 2, CSIB_BadGridDimensions, 0, 0},
    };
    for (const Case& c : cases) {
        GridLayout s;
        s.rows = c.rows;
        s.columns = c.columns;
        s.methodBits = c.methodBits;
        s.window = c.window;
        Grid g;
        ASSERT_EQ(c.status, OpenFile(g, b, folder.Write("c.grd", AsString(gridtest::GridImage(s, Bilinear)))))
            << c.rows << "x" << c.columns << " window " << c.window;
        if (c.status != CSIB_Ok) {
            EXPECT_EQ(nullptr, g.grid);
            continue;
        }
        EXPECT_EQ(c.openedWindow, g.grid->interpolationWindow);
        EXPECT_EQ(c.cacheSize, g.grid->cacheSize);
        double value = NAN;
        ASSERT_EQ(CSIB_Ok, gridfile_Interpolate(g.grid, 10.5, 20.25, &value));
        EXPECT_NEAR(Bilinear(1, 1), value, 1e-12);
    }
}

TEST(GridFile, DamagedHeadersAndFilesAreRefused) {
    TempFolder folder;
    Block b(1);
    const int64_t live = csib_LiveAllocations();
    struct Case {
        const char* what;
        void (*damage)(GridLayout&);
        csib_Status status;
    };
    const Case cases[] = {
        {"no rows", [](GridLayout& s) { s.storedRows = 0; }, CSIB_BadGridDimensions},
        {"rows beyond 32767", [](GridLayout& s) { s.storedRows = 32768; }, CSIB_BadGridDimensions},
        {"north off the spacing", [](GridLayout& s) { s.north = 12.01; }, CSIB_BadGridDimensions},
        {"east not finite", [](GridLayout& s) { s.east = INFINITY; }, CSIB_BadGridDimensions},
        {"zero spacing", [](GridLayout& s) { s.rowSpacing = 0.0; }, CSIB_FileContentInvalid},
        {"negative spacing", [](GridLayout& s) { s.columnSpacing = -0.25; }, CSIB_FileContentInvalid},
        {"spacing not a number", [](GridLayout& s) { s.rowSpacing = NAN; }, CSIB_FileContentInvalid},
        {"no cell type", [](GridLayout& s) { s.typeBits = 0x40; }, CSIB_FileContentInvalid},
    };
    for (const Case& c : cases) {
        GridLayout s;
        c.damage(s);
        Grid g;
        EXPECT_EQ(c.status, OpenFile(g, b, folder.Write("d.grd", AsString(gridtest::GridImage(s, Bilinear)))))
            << c.what;
        EXPECT_EQ(nullptr, g.grid);
    }
    std::vector<uint8_t> image = gridtest::GridImage(GridLayout{}, Bilinear);
    std::vector<uint8_t> magic = image;
    magic[5] = 'x';
    Grid g;
    EXPECT_EQ(CSIB_NotAGridFile, OpenFile(g, b, folder.Write("m.grd", AsString(magic))));
    EXPECT_EQ(CSIB_FileReadFailed, OpenFile(g, b, folder.Write("h.grd", AsString(image).substr(0, 100))));
    EXPECT_EQ(CSIB_FileOpenFailed, OpenFile(g, b, folder / "absent.grd"));
    // Cells cut short: the open succeeds, the refill fails and the grid stays usable.
    GridLayout tall;
    tall.rows = 9;
    image = gridtest::GridImage(tall, Bilinear);
    image.resize(image.size() - 16 - 8 * 6);
    ASSERT_EQ(CSIB_Ok, OpenFile(g, b, folder.Write("t.grd", AsString(image))));
    double value = NAN;
    EXPECT_EQ(CSIB_FileReadFailed, gridfile_Interpolate(g.grid, 13.9, 21.0, &value));
    EXPECT_EQ(CSIB_Ok, gridfile_Interpolate(g.grid, 10.0, 20.0, &value));
    EXPECT_EQ(Bilinear(0, 0), value);
    gridfile_Close(&g.grid);
    EXPECT_EQ(live, csib_LiveAllocations());
}

TEST(GridFile, FailingAllocationsFreeWhatWasBuilt) {
    TempFolder folder;
    GridLayout s;
    s.methodBits = 0x04;
    s.window = 3;
    const std::vector<uint8_t> saved = Embedded("x", gridtest::GridImage(s, Bilinear));
    Block b(0);
    const int64_t live = csib_LiveAllocations();
    csib_Status status = CSIB_OutOfMemory;
    for (int32_t n = 1; status != CSIB_Ok; ++n) {
        Grid g;
        csib_FailAllocation(n);
        status = gridfile_Open(&g.grid, b.block, saved.data(), 0);
        csib_FailAllocation(0);
        if (status != CSIB_Ok) {
            EXPECT_TRUE(status == CSIB_OutOfMemory || status == CSIB_GridOutOfMemory) << status;
            EXPECT_EQ(nullptr, g.grid);
        }
        ASSERT_LT(n, 40);
    }
    EXPECT_EQ(live, csib_LiveAllocations());
}

TEST(GridFile, SavedFormsAndNames) {
    TempFolder folder;
    GridLayout s;
    s.swap = true;
    const std::vector<uint8_t> image = gridtest::GridImage(s, Bilinear);
    const std::vector<uint8_t> container = gridtest::Container({image, image}, false, 7);
    const std::string path = folder.Write("Pair.CDG", AsString(container));
    const int32_t offset = static_cast<int32_t>(container.size() - image.size());
    const int32_t cells = 5 * 6 * 8;

    Block byName(1), embedded(0);
    Grid file;
    ASSERT_EQ(CSIB_Ok, OpenFile(file, byName, path, offset));
    int32_t size = 0;
    ASSERT_EQ(CSIB_Ok, gridfile_GetSavedSize(file.grid, 1, &size));
    EXPECT_EQ(static_cast<int32_t>(path.size()) + 1, size);
    ASSERT_EQ(CSIB_Ok, gridfile_GetSavedSize(file.grid, 0, &size));
    EXPECT_EQ(static_cast<int32_t>(path.size()) + 1 + 162 + cells, size);
    EXPECT_EQ(CSIB_MissingOutput, gridfile_GetSavedSize(file.grid, 0, nullptr));

    // Embedding a grid that lies inside a container takes its own bytes only.
    std::vector<uint8_t> buffer(static_cast<std::size_t>(size) + 8, 0xC3);
    ASSERT_EQ(CSIB_Ok, gridfile_Save(file.grid, buffer.data(), 0));
    EXPECT_EQ(0xC3, buffer[static_cast<std::size_t>(size) - 16]);
    Grid copy;
    ASSERT_EQ(CSIB_Ok, gridfile_Open(&copy.grid, embedded.block, buffer.data(), 0));
    EXPECT_STREQ(path.c_str(), copy.grid->fileName);
    for (const Position& p : kPositions) {
        double a = NAN, c = NAN;
        ASSERT_EQ(CSIB_Ok, gridfile_Interpolate(file.grid, p.lat, p.lon, &a));
        ASSERT_EQ(CSIB_Ok, gridfile_Interpolate(copy.grid, p.lat, p.lon, &c));
        EXPECT_EQ(a, c);
    }
    // The embedded copy is saved again in host order.
    std::vector<uint8_t> again(static_cast<std::size_t>(size), 0);
    ASSERT_EQ(CSIB_Ok, gridfile_Save(copy.grid, again.data(), 0));
    Grid third;
    ASSERT_EQ(CSIB_Ok, gridfile_Open(&third.grid, embedded.block, again.data(), 0));
    EXPECT_EQ(0, third.grid->swapped);

    void* parameter = nullptr;
    ASSERT_EQ(CSIB_Ok, gridfile_GetParameters(copy.grid, 1, &parameter));
    EXPECT_EQ(copy.grid->image, parameter);
    ASSERT_EQ(CSIB_Ok, gridfile_GetParameters(file.grid, 0, &parameter));
    EXPECT_STREQ(path.c_str(), static_cast<const char*>(parameter));
    ASSERT_EQ(CSIB_Ok, gridfile_GetParameters(file.grid, 2, &parameter));
    EXPECT_EQ(nullptr, parameter);
    EXPECT_EQ(CSIB_MissingOutput, gridfile_GetParameters(file.grid, 0, nullptr));

    // Only a file-backed grid answers to its name, in any letter case, at its length.
    std::string upper = path;
    for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_TRUE(csib_IsGridFileNamed(file.grid, path.c_str()));
    EXPECT_TRUE(csib_IsGridFileNamed(file.grid, upper.c_str()));
    EXPECT_FALSE(csib_IsGridFileNamed(file.grid, (path + "x").c_str()));
    EXPECT_FALSE(csib_IsGridFileNamed(copy.grid, path.c_str()));

    // An embedded copy beyond 65,534 bytes is refused.
    GridLayout big;
    big.rows = 100;
    big.columns = 100;
    Grid large;
    ASSERT_EQ(CSIB_Ok, OpenFile(large, byName, folder.Write("big.grd", AsString(gridtest::GridImage(big, Bilinear)))));
    EXPECT_EQ(CSIB_TooLarge, gridfile_GetSavedSize(large.grid, 0, &size));
    std::vector<uint8_t> room(200000);
    EXPECT_EQ(CSIB_TooLarge, gridfile_Save(large.grid, room.data(), 0));
}

TEST(GridFile, ImagesOlderThanNamesCarryNone) {
    GridLayout s;
    const std::vector<uint8_t> image = gridtest::GridImage(s, Bilinear);
    Block b(0);
    b.block->version = 1.0;
    Grid g;
    ASSERT_EQ(CSIB_Ok, gridfile_Open(&g.grid, b.block, image.data(), 0));
    EXPECT_EQ(nullptr, g.grid->fileName);
    int32_t size = 0;
    ASSERT_EQ(CSIB_Ok, gridfile_GetSavedSize(g.grid, 0, &size));
    EXPECT_EQ(162 + 5 * 6 * 8, size);
    std::vector<uint8_t> out(8);
    EXPECT_EQ(CSIB_NoFileName, gridfile_Save(g.grid, out.data(), 1));
    // Written at the current version, the saved form leads with an empty name.
    b.block->version = CSIB_BlockVersion;
    ASSERT_EQ(CSIB_Ok, gridfile_GetSavedSize(g.grid, 0, &size));
    EXPECT_EQ(1 + 162 + 5 * 6 * 8, size);
}

}  // namespace
