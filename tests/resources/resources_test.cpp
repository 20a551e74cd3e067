// The menu item icons in resources/: loadable, padded black glyphs, all different, and exactly what
// the drawing tool makes; and the settings pane's icon in resources/pane/ at each scale.
#include <cairo.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kSize = 58;
constexpr int kPadding = 2;

const std::vector<std::string> kIcons = {"copy.png",
                                         "cloud.png",
                                         "trash.png",
                                         "clearcache.png",
                                         "clearcache13.png",
                                         "badge.png",
                                         "badge13.png",
                                         "lock.png",
                                         "lock13.png",
                                         "unlock.png",
                                         "unlock13.png",
                                         "notification.png",
                                         "notification13.png",
                                         "notificationoff.png",
                                         "notificationoff13.png",
                                         "banner.png",
                                         "banner13.png",
                                         "banneroff.png",
                                         "banneroff13.png"};

// The settings pane's icon, 29 points at each scale, as the package ships it beside the pane.
const std::vector<std::pair<std::string, int>> kPaneIcons = {
    {"pane/Quorvel.png", 29}, {"pane/Quorvel@2x.png", 58}, {"pane/Quorvel@3x.png", 87}};

fs::path resources() { return fs::path(QV_SOURCE_DIR) / "resources"; }

struct Image {
  cairo_status_t status = CAIRO_STATUS_SUCCESS;
  int width = 0, height = 0;
  cairo_format_t format = CAIRO_FORMAT_INVALID;
  std::vector<uint32_t> pixels;  // premultiplied ARGB, row by row

  uint32_t at(int x, int y) const { return pixels[y * width + x]; }
  std::string_view bytes() const {
    return {reinterpret_cast<const char*>(pixels.data()), pixels.size() * sizeof(uint32_t)};
  }
};

Image load(const fs::path& file) {
  Image image;
  cairo_surface_t* surface = cairo_image_surface_create_from_png(file.c_str());
  image.status = cairo_surface_status(surface);
  if (image.status == CAIRO_STATUS_SUCCESS) {
    image.width = cairo_image_surface_get_width(surface);
    image.height = cairo_image_surface_get_height(surface);
    image.format = cairo_image_surface_get_format(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int y = 0; y < image.height; ++y) {
      auto row = reinterpret_cast<const uint32_t*>(data + y * stride);
      image.pixels.insert(image.pixels.end(), row, row + image.width);
    }
  }
  cairo_surface_destroy(surface);
  return image;
}

std::string contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

long totalAlpha(const Image& image) {
  long sum = 0;
  for (uint32_t p : image.pixels) sum += p >> 24;
  return sum;
}

TEST(ResourcesTest, EveryIconIsAPaddedBlackGlyph) {
  for (const std::string& name : kIcons) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(fs::is_regular_file(resources() / name));
    Image image = load(resources() / name);
    ASSERT_EQ(image.status, CAIRO_STATUS_SUCCESS) << cairo_status_to_string(image.status);
    ASSERT_EQ(image.width, kSize);
    ASSERT_EQ(image.height, kSize);
    EXPECT_EQ(image.format, CAIRO_FORMAT_ARGB32);
    int opaque = 0, partial = 0, inBorder = 0, coloured = 0;
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        uint32_t p = image.at(x, y);
        uint32_t alpha = p >> 24;
        if (alpha == 255) ++opaque;
        if (alpha > 0 && alpha < 255) ++partial;
        if ((p & 0xffffff) != 0) ++coloured;
        bool border =
            x < kPadding || y < kPadding || x >= kSize - kPadding || y >= kSize - kPadding;
        if (border && alpha != 0) ++inBorder;
      }
    }
    EXPECT_GT(opaque, 100);
    EXPECT_GT(partial, 0) << "edges are not anti-aliased";
    EXPECT_EQ(inBorder, 0) << "the glyph reaches the padding";
    EXPECT_EQ(coloured, 0) << "the glyph is not black";
  }
}

TEST(ResourcesTest, NoTwoIconsAreAlike) {
  std::map<size_t, std::string> seen;
  for (const std::string& name : kIcons) {
    Image image = load(resources() / name);
    ASSERT_EQ(image.status, CAIRO_STATUS_SUCCESS) << name;
    auto [it, fresh] = seen.emplace(std::hash<std::string_view>{}(image.bytes()), name);
    if (!fresh) {
      // Equal hashes: only a failure if the pixels really are the same.
      bool same = load(resources() / it->second).bytes() == image.bytes();
      EXPECT_FALSE(same) << name << " is the same picture as " << it->second;
    }
  }
}

TEST(ResourcesTest, NewerMenuVariantsAreBolder) {
  for (const std::string& name : kIcons) {
    std::string round = name.substr(0, name.size() - 4) + "13.png";
    if (name.ends_with("13.png") || !fs::exists(resources() / round)) continue;
    SCOPED_TRACE(name);
    EXPECT_GT(totalAlpha(load(resources() / round)), totalAlpha(load(resources() / name)));
  }
}

// An opaque colour square with rounded corners and a white glyph, like the Settings app's icons.
TEST(ResourcesTest, PaneIconIsAColourSquareAtEachScale) {
  for (const auto& [name, size] : kPaneIcons) {
    SCOPED_TRACE(name);
    Image image = load(resources() / name);
    ASSERT_EQ(image.status, CAIRO_STATUS_SUCCESS) << cairo_status_to_string(image.status);
    ASSERT_EQ(image.width, size);
    ASSERT_EQ(image.height, size);
    EXPECT_EQ(image.at(0, 0) >> 24, 0u) << "the corner is not rounded off";
    EXPECT_EQ(image.at(size - 1, size - 1) >> 24, 0u) << "the corner is not rounded off";
    int background = 0, white = 0;
    for (uint32_t p : image.pixels) {
      if (p == image.at(size / 10, size / 2)) ++background;
      if (p == 0xffffffff) ++white;
    }
    EXPECT_EQ(image.at(size / 10, size / 2) >> 24, 255u);
    EXPECT_NE(image.at(size / 10, size / 2) & 0xffffff, 0xffffffu) << "no colour behind the glyph";
    EXPECT_GT(background, size * size / 2);
    EXPECT_GT(white, size * size / 20) << "no glyph";
  }
}

#ifdef QV_ICONS_TOOL

int runTool(const std::string& args) {
  int status = std::system((std::string("'") + QV_ICONS_TOOL + "' " + args).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class IconsToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qv-icons-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

TEST_F(IconsToolTest, RedrawsTheCommittedFilesByteForByte) {
  fs::path out = dir_ / "icons";  // also checks the folder gets made
  ASSERT_EQ(runTool("'" + out.string() + "'"), 0);
  std::set<std::string> written, expected(kIcons.begin(), kIcons.end());
  for (const auto& entry : fs::recursive_directory_iterator(out)) {
    if (entry.is_regular_file()) written.insert(fs::relative(entry.path(), out));
  }
  for (const auto& icon : kPaneIcons) expected.insert(icon.first);
  EXPECT_EQ(written, expected);
  for (const std::string& name : expected) {
    SCOPED_TRACE(name);
    std::string drawn = contents(out / name);
    EXPECT_FALSE(drawn.empty());
    EXPECT_TRUE(drawn == contents(resources() / name)) << "redraw it into resources/";
  }
}

TEST_F(IconsToolTest, RefusesAMissingOrUnusableFolder) {
  EXPECT_EQ(runTool(""), 2);
  fs::path file = dir_ / "file";
  std::ofstream(file) << "not a folder";
  EXPECT_EQ(runTool("'" + file.string() + "'"), 1);
  EXPECT_EQ(contents(file), "not a folder");
}

#endif

}  // namespace
