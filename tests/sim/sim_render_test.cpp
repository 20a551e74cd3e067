// quorvel-sim's render command: a picture in the current folder, clear errors otherwise.
#include <cairo.h>

#include "sim_fixture.h"

namespace qv::testing {
namespace {

TEST_F(SimTest, RenderWritesAPictureIntoTheCurrentFolder) {
  std::filesystem::current_path(dir_);  // the program runs in this process's folder
  SimRun run = runScript(
      "app com.example.mail name=\"Mail\" badge=2\n"
      "boot\n"
      "render home.png\n"
      "press com.example.mail\n"
      "render menu.png\n",
      {"--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<Json> out = jsonLines(run);
  ASSERT_EQ(out.size(), 5u);
  EXPECT_EQ(out[2]["file"].asString(), dir_ + "/home.png");
  for (const char* name : {"/home.png", "/menu.png"}) {
    cairo_surface_t* s = cairo_image_surface_create_from_png((dir_ + name).c_str());
    EXPECT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS) << name;
    EXPECT_EQ(cairo_image_surface_get_width(s), 780) << name;
    cairo_surface_destroy(s);
  }
}

TEST_F(SimTest, RenderReportsWhatItCannotDo) {
  std::filesystem::current_path(dir_);
  SimRun early = runScript("render early.png\n");
  EXPECT_EQ(early.status, 1);
  EXPECT_NE(early.err.find("line 1: render: boot first"), std::string::npos) << early.err;

  SimRun missing = runScript("boot\nrender no/such/folder/shot.png\n");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("line 2: render: cannot write " + dir_ + "/no/such/folder/shot.png"),
            std::string::npos)
      << missing.err;

  SimRun folder = runScript("boot\nrender .\n");
  EXPECT_EQ(folder.status, 1);
  EXPECT_NE(folder.err.find("is a folder"), std::string::npos) << folder.err;
}

}  // namespace
}  // namespace qv::testing
