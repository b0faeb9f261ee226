// The generated skin folder: every listed file present as a 24-bit BMP,
// frame series complete and of one size, controls inside their windows,
// texts on opaque ground, no colour near the key except the key itself,
// and the program icon with its four sizes.
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Listed {
    std::string path;
    uint32_t key;        // Win32 colour value 0x00BBGGRR
    std::string series;  // the list line it came from, for series checks
};

// Reads the checked-in list, expanding "{0022..0065}" into each number
// written with as many digits as the range shows.
std::vector<Listed> ReadList() {
    std::ifstream in(std::string(KORELLE_SOURCE_DIR) + "/assets/skin/skin_files.txt");
    std::vector<Listed> out;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string pattern, key;
        if (!(fields >> pattern >> key)) continue;
        const uint32_t k = uint32_t(std::stoul(key, nullptr, 16));
        const auto open = pattern.find('{');
        if (open == std::string::npos) {
            out.push_back({pattern, k, pattern});
            continue;
        }
        const auto dots = pattern.find("..", open), close = pattern.find('}', open);
        const std::string first = pattern.substr(open + 1, dots - open - 1);
        const int from = std::stoi(first), to = std::stoi(pattern.substr(dots + 2, close - dots - 2));
        for (int n = from; n <= to; ++n) {
            std::string num = std::to_string(n);
            num.insert(0, first.size() > num.size() ? first.size() - num.size() : 0, '0');
            out.push_back({pattern.substr(0, open) + num + pattern.substr(close + 1), k, pattern});
        }
    }
    return out;
}

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> bgr;  // top-down rows, 3 bytes a pixel as on disk
    const uint8_t* Px(int x, int y) const { return &bgr[(size_t(y) * size_t(w) + size_t(x)) * 3]; }
    bool Is(int x, int y, uint32_t colorRef) const {
        const uint8_t* p = Px(x, y);
        return p[2] == (colorRef & 0xFF) && p[1] == ((colorRef >> 8) & 0xFF) && p[0] == ((colorRef >> 16) & 0xFF);
    }
    int Distance(int x, int y, uint32_t colorRef) const {
        const uint8_t* p = Px(x, y);
        int d = 0;
        for (int c = 0; c < 3; ++c) d = std::max(d, std::abs(int(p[2 - c]) - int((colorRef >> (8 * c)) & 0xFF)));
        return d;
    }
};

uint32_t Le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | uint8_t(b[at + size_t(i)]);
    return v;
}

// Parses an uncompressed 24-bit BMP; an empty answer means it is fine.
std::string ParseBmp(const std::string& b, Image& img) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return "no BM header";
    if (Le(b, 2, 4) != b.size()) return "file size field differs from the file";
    if (Le(b, 14, 4) != 40) return "not a BITMAPINFOHEADER";
    const int32_t w = int32_t(Le(b, 18, 4)), h = int32_t(Le(b, 22, 4));
    if (w <= 0 || h == 0 || w > 4096 || std::abs(h) > 4096) return "bad dimensions";
    if (Le(b, 26, 2) != 1 || Le(b, 28, 2) != 24) return "not 24 bits per pixel";
    if (Le(b, 30, 4) != 0) return "compressed";
    const uint32_t offset = Le(b, 10, 4);
    const size_t row = (size_t(w) * 3 + 3) & ~size_t(3);
    if (offset < 54 || offset + row * size_t(std::abs(h)) > b.size()) return "pixel data runs past the file";
    img.w = w;
    img.h = std::abs(h);
    img.bgr.resize(size_t(img.w) * size_t(img.h) * 3);
    for (int y = 0; y < img.h; ++y) {
        const size_t src = offset + row * size_t(h > 0 ? img.h - 1 - y : y);
        std::memcpy(&img.bgr[size_t(y) * size_t(img.w) * 3], b.data() + src, size_t(img.w) * 3);
    }
    return "";
}

class Skin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test_support::TempDir;
        const std::string cmd = std::string("\"") + KORELLE_SKIN_GEN + "\" \"" + (dir_->path() / "skin").string() +
                                "\" --icon \"" + dir_->file("korelle.ico") + "\" --contact-sheet \"" +
                                KORELLE_SKIN_SHEET + "\"";
        status_ = std::system(cmd.c_str());
        list_ = new std::vector<Listed>(ReadList());
        images_ = new std::map<std::string, Image>;
        errors_ = new std::map<std::string, std::string>;
        for (const Listed& l : *list_) {
            Image img;
            const std::string why = ParseBmp(test_support::ReadFile((dir_->path() / "skin" / l.path).string()), img);
            if (why.empty()) (*images_)[l.path] = std::move(img);
            else (*errors_)[l.path] = why;
        }
    }
    static void TearDownTestSuite() {
        delete errors_;
        delete images_;
        delete list_;
        delete dir_;
    }
    void SetUp() override { ASSERT_EQ(status_, 0) << "the generator failed"; }

    static const Image& Get(const std::string& path) {
        static const Image none;
        const auto it = images_->find(path);
        return it == images_->end() ? none : it->second;
    }

    static test_support::TempDir* dir_;
    static int status_;
    static std::vector<Listed>* list_;
    static std::map<std::string, Image>* images_;
    static std::map<std::string, std::string>* errors_;  // files that did not parse, and why
};
test_support::TempDir* Skin::dir_ = nullptr;
int Skin::status_ = -1;
std::vector<Listed>* Skin::list_ = nullptr;
std::map<std::string, Image>* Skin::images_ = nullptr;
std::map<std::string, std::string>* Skin::errors_ = nullptr;

TEST_F(Skin, FolderHoldsEveryListedFileAndNothingElse) {
    ASSERT_FALSE(list_->empty());
    std::map<std::string, int> listed;
    for (const Listed& l : *list_) {
        ++listed[l.path];
        EXPECT_TRUE(fs::is_regular_file(dir_->path() / "skin" / l.path)) << l.path;
    }
    for (const auto& [path, n] : listed) EXPECT_EQ(n, 1) << path << " listed twice";
    for (const auto& e : fs::recursive_directory_iterator(dir_->path() / "skin")) {
        if (!e.is_regular_file()) continue;
        const std::string rel = fs::relative(e.path(), dir_->path() / "skin").generic_string();
        EXPECT_EQ(listed.count(rel), 1u) << "unlisted file " << rel;
    }
    // The frame series the windows step through.
    auto count = [&](const std::string& prefix) {
        int n = 0;
        for (const Listed& l : *list_) n += l.path.rfind(prefix, 0) == 0;
        return n;
    };
    EXPECT_EQ(count("Logo/ball"), 45);  // 0 and 22 to 65
    EXPECT_EQ(count("line/"), 7);
    EXPECT_EQ(count("right/right_a/right_a"), 61);
    EXPECT_EQ(count("left/left_a/left_a"), 18);
    EXPECT_EQ(count("right/bar01_01/right_b_01_"), 10);
    EXPECT_EQ(count("right/bar02_01/right_c_01_"), 8);
    EXPECT_EQ(count("profile/profile_02_0"), 5);
}

TEST_F(Skin, EveryFileIsAnUncompressed24BitBmp) {
    for (const auto& [path, why] : *errors_) ADD_FAILURE() << path << ": " << why;
    EXPECT_EQ(images_->size(), list_->size());
}

// A visible pixel within 8 levels of the key colour would show as a grey or
// green fringe beside see-through pixels (or vanish on some displays).
TEST_F(Skin, NoPixelIsNearTheKeyWithoutBeingIt) {
    for (const Listed& l : *list_) {
        const Image& img = Get(l.path);
        bool reported = false, hasKey = false;
        for (int y = 0; y < img.h && !reported; ++y) {
            for (int x = 0; x < img.w && !reported; ++x) {
                if (img.Is(x, y, l.key)) {
                    hasKey = true;
                    continue;
                }
                if (img.Distance(x, y, l.key) <= 8) {
                    bool besideKey = false;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx) {
                            const int nx = x + dx, ny = y + dy;
                            if (nx >= 0 && ny >= 0 && nx < img.w && ny < img.h && img.Is(nx, ny, l.key)) besideKey = true;
                        }
                    ADD_FAILURE() << l.path << ": pixel (" << x << ", " << y << ") is near the key"
                                  << (besideKey ? ", beside a see-through pixel" : "");
                    reported = true;
                }
            }
        }
        // Shaped pictures must use the listed key; the function menu is the
        // one full rectangle (it fades in before its key applies).
        if (l.path != "function/function_demo.bmp") {
            EXPECT_TRUE(hasKey) << l.path << " has no pixel of its key colour";
        }
    }
}

TEST_F(Skin, SeriesAndHotNormalPairsShareOneSize) {
    std::map<std::string, std::pair<int, int>> seriesSize;
    for (const Listed& l : *list_) {
        const Image& img = Get(l.path);
        const auto [it, fresh] = seriesSize.emplace(l.series, std::make_pair(img.w, img.h));
        if (!fresh) {
            EXPECT_EQ(it->second, std::make_pair(img.w, img.h)) << l.path << " differs from its series";
        }
    }
    // Normal images carry 01 (04 for the message box's OK), hot ones 02 or 03.
    const std::pair<std::string, std::string> swaps[] = {{"_01", "_02"}, {"_01", "_03"}, {"_04_13", "_03_13"}};
    int pairs = 0;
    for (const Listed& l : *list_) {
        for (const auto& [normal, hot] : swaps) {
            const auto at = l.path.rfind(normal);
            if (at == std::string::npos) continue;
            std::string other = l.path;
            other.replace(at, normal.size(), hot);
            if (!images_->count(other)) continue;
            ++pairs;
            EXPECT_EQ(Get(l.path).w, Get(other).w) << l.path << " / " << other;
            EXPECT_EQ(Get(l.path).h, Get(other).h) << l.path << " / " << other;
        }
    }
    EXPECT_GE(pairs, 60);
}

struct Placement {
    const char* window;
    const char* control;  // an image, or nullptr for a box of the given size
    int x, y, w, h;
};

// Controls at their positions, with the images' own sizes: each must lie
// inside its window's picture.
TEST_F(Skin, ControlsLieInsideTheirWindows) {
    const Placement places[] = {
        {"central/central_bg.bmp", "central/central_01_20.bmp", 432, 51, 0, 0},
        {"central/central_bg.bmp", "central/central_01_19.bmp", 419, 30, 0, 0},
        {"central/central_bg.bmp", "central/central_01_21.bmp", 434, 77, 0, 0},
        {"central/central_bg.bmp", "central/central_01_3.bmp", 190, 30, 0, 0},
        {"central/central_bg.bmp", "central/central_01_7.bmp", 23, 112, 0, 0},
        {"central/central_bg.bmp", "central/central_01_11.bmp", 409, 259, 0, 0},
        {"central/central_bg.bmp", "central/apply_01.bmp", 171, 417, 0, 0},
        {"central/central_bg.bmp", "central/abandon_01.bmp", 335, 415, 0, 0},
        {"central/central_bg.bmp", "Logo/ball0000.bmp", 220, 434, 0, 0},
        {"central/central_bg.bmp", "line/00.bmp", 147, 131, 0, 0},
        {"central/central_bg.bmp", "line/11.bmp", 163, 169, 0, 0},
        {"central/central_bg.bmp", "line/22.bmp", 181, 188, 0, 0},
        {"central/central_bg.bmp", "line/33.bmp", 274, 138, 0, 0},
        {"central/central_bg.bmp", "line/44.bmp", 306, 151, 0, 0},
        {"central/central_bg.bmp", "line/55.bmp", 318, 165, 0, 0},
        {"central/central_bg.bmp", "line/66.bmp", 318, 183, 0, 0},
        {"central/central_bg.bmp", nullptr, 396, 131, 165, 20},  // widest button label
        {"Setting/setting_bg.bmp", "Setting/setting_01_04.bmp", 354, 21, 0, 0},
        {"Setting/setting_bg.bmp", "Setting/setting_01_16.bmp", 39, 131, 0, 0},
        {"Setting/setting_bg.bmp", "Setting/setting_01_20.bmp", 171, 176, 0, 0},
        {"load/load_bg.bmp", "load/load_01_07.bmp", 74, 43, 0, 0},
        {"load/load_bg.bmp", "load/load_01_10.bmp", 74, 264, 0, 0},
        {"load/load_bg.bmp", "load/load_01_15.bmp", 68, 327, 0, 0},
        {"load/load_bg.bmp", nullptr, 145, 327, 100, 24},  // cancel, width 100
        {"load/load_bg.bmp", nullptr, 114, 300, 109, 16},  // name edit
        {"profile/profile_bg.bmp", "profile/profile_01_18.bmp", 357, 21, 0, 0},
        {"profile/profile_bg.bmp", "profile/profile_01_04.bmp", 320, 109, 0, 0},
        {"profile/profile_bg.bmp", "profile/profile_01_19.bmp", 100, 178, 0, 0},
        {"profile/profile_bg.bmp", "profile/profile_01_21.bmp", 214, 178, 0, 0},
        {"dpi/dpi_bg.bmp", "dpi/dpi_01_04.bmp", 357, 21, 0, 0},
        {"dpi/dpi_bg.bmp", nullptr, 240, 147, 150, 30},  // down option (width 190 reaches past the frame's text)
        {"dpi/dpi_bg.bmp", "dpi/dpi_01_21.bmp", 214, 178, 0, 0},
        {"info/info_bg.bmp", "info/info_02_13.bmp", 146, 100, 0, 0},
        {"info/info_bg.bmp", "info/info_04_13.bmp", 112, 100, 0, 0},
        {"info/info_bg.bmp", nullptr, 33, 26, 222, 66},  // message text
        {"macro/macro_bg.bmp", "macro/macro_01_23.bmp", 280, 169, 0, 0},
        {"macro/macro_bg.bmp", "macro/macro_01_15.bmp", 28, 109, 0, 0},
        {"macro/macro_bg.bmp", nullptr, 143, 35, 127, 160},  // event label area
        {"macro/800_600.bmp", "macro/macro_01_21.bmp", 320, 550, 0, 0},
        {"tm/time_bg.bmp", "tm/Slide1.bmp", 183, 38, 0, 0},
        {"tm/time_bg.bmp", "tm/Slide3.bmp", 49, 38, 0, 0},
        {"tm/time_bg.bmp", nullptr, 143, 114, 30, 15},  // last caption
        {"function/function_demo.bmp", nullptr, 5, 17 * 12, 150, 18},  // the twelfth item
        {"right/right_a/right_a0000.bmp", "right/bar01_01/right_b_01_0009.bmp", 14, 216, 0, 0},
        {"right/right_a/right_a0000.bmp", "right/bar01_02/right_b_01_0001.bmp", 14, 262, 0, 0},
        {"right/right_a/right_a0000.bmp", "right/bar02_01/right_c_01_0007.bmp", 102, 146, 0, 0},
        {"right/right_a/right_a0000.bmp", "right/bar02_02/right_c_01_0001.bmp", 102, 200, 0, 0},
        {"left/left_a/left_a0000.bmp", "left/left/left_02_03.bmp", 46, 117, 0, 0},
        {"left/left_a/left_a0000.bmp", "left/left/left_02_03.bmp", 124, 36, 0, 0},
        {"left/left_a/left_a0000.bmp", "left/left/left_b_01_01.bmp", 80, 248, 0, 0},
    };
    for (const Placement& p : places) {
        const Image& win = Get(p.window);
        const int w = p.control ? Get(p.control).w : p.w, h = p.control ? Get(p.control).h : p.h;
        ASSERT_GT(win.w, 0) << p.window;
        ASSERT_GT(w, 0) << (p.control ? p.control : "box");
        EXPECT_LE(p.x + w, win.w) << (p.control ? p.control : "box") << " at " << p.x << " in " << p.window;
        EXPECT_LE(p.y + h, win.h) << (p.control ? p.control : "box") << " at " << p.y << " in " << p.window;
    }
}

// The program writes texts over the main window's background: where they
// stand, the background must be opaque, or the text would float over the
// desktop with a fringe.
TEST_F(Skin, MainWindowTextsStandOnOpaqueGround) {
    const Image& bg = Get("central/central_bg.bmp");
    ASSERT_GT(bg.w, 0);
    struct Box { int x, y, w, h; };
    const Box boxes[] = {
        {5, 208, 150, 20},   {12, 235, 156, 20},  {30, 258, 158, 20},  {396, 131, 165, 20}, {394, 165, 164, 20},
        {388, 196, 160, 20}, {374, 225, 162, 20}, {105, 304, 110, 15}, {105, 320, 110, 15}, {105, 336, 110, 15},
        {105, 354, 110, 15}, {218, 302, 160, 19}, {224, 320, 156, 15}, {222, 334, 150, 20}, {224, 354, 103, 15},
    };
    for (const Box& b : boxes) {
        int keyed = 0;
        for (int y = b.y; y < b.y + b.h && y < bg.h; ++y)
            for (int x = b.x; x < b.x + b.w && x < bg.w; ++x) keyed += bg.Is(x, y, 0x808080);
        EXPECT_EQ(keyed, 0) << "text box at (" << b.x << ", " << b.y << ")";
    }
    EXPECT_TRUE(bg.Is(0, 0, 0x808080)) << "the window's corner is see-through";
    EXPECT_TRUE(bg.Is(bg.w - 1, bg.h - 1, 0x808080));
}

TEST_F(Skin, ProgramIconHoldsFourSizesOf32Bits) {
    const std::string ico = test_support::ReadFile(dir_->file("korelle.ico"));
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(Le(ico, 0, 2), 0u);
    EXPECT_EQ(Le(ico, 2, 2), 1u);  // icon, not cursor
    const uint32_t n = Le(ico, 4, 2);
    ASSERT_EQ(n, 4u);
    ASSERT_GE(ico.size(), 6 + 16 * n);
    std::vector<int> sizes;
    for (uint32_t i = 0; i < n; ++i) {
        const size_t e = 6 + 16 * i;
        const int w = ico[e] ? uint8_t(ico[e]) : 256, h = ico[e + 1] ? uint8_t(ico[e + 1]) : 256;
        EXPECT_EQ(w, h);
        sizes.push_back(w);
        const uint32_t bytes = Le(ico, e + 8, 4), offset = Le(ico, e + 12, 4);
        ASSERT_LE(size_t(offset) + bytes, ico.size());
        EXPECT_EQ(Le(ico, offset, 4), 40u);
        EXPECT_EQ(int(Le(ico, offset + 4, 4)), w);
        EXPECT_EQ(int(Le(ico, offset + 8, 4)), 2 * h);  // colour and mask
        EXPECT_EQ(Le(ico, offset + 14, 2), 32u);
        const uint32_t mask = uint32_t(((w + 31) / 32) * 4 * h);
        EXPECT_EQ(bytes, 40 + uint32_t(w * h * 4) + mask);
    }
    EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 256}));
}

TEST_F(Skin, ContactSheetIsWritten) {
    const std::string png = test_support::ReadFile(KORELLE_SKIN_SHEET);
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

}  // namespace
