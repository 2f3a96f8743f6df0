// Setting up the backend: it works on the test desktop and says so when there is no display.

#include <glib.h>
#include <gtest/gtest.h>

#include "tests/e2e/gtk/TestDesktop.h"

namespace qn::test {
namespace {

TEST(GtkBackendTest, InitialisesOnTheTestDesktop) {
  GtkBackend& backend = desktop();
  bool ran = false;
  backend.loop().post([&] {
    ran = true;
    backend.loop().quit();
  });
  backend.loop().run();
  EXPECT_TRUE(ran);
}

// GTK can be set up once per process, so the failing case runs in a child of this test binary.
TEST(GtkBackendTest, InitReportsAMissingDisplay) {
  gchar** env = g_get_environ();
  env = g_environ_setenv(env, "DISPLAY", ":no-such-display", TRUE);
  gchar* self = g_file_read_link("/proc/self/exe", nullptr);
  gchar* argv[] = {self, const_cast<gchar*>("--gtest_also_run_disabled_tests"),
                   const_cast<gchar*>("--gtest_filter=GtkBackendTest.DISABLED_InitFailsHere"),
                   nullptr};
  gint wait = 0;
  gchar* out = nullptr;
  ASSERT_TRUE(g_spawn_sync(nullptr, argv, env, G_SPAWN_DEFAULT, nullptr, nullptr, &out, nullptr,
                           &wait, nullptr));
  EXPECT_TRUE(g_spawn_check_wait_status(wait, nullptr)) << out;
  EXPECT_NE(std::string(out).find("[  PASSED  ] 1 test"), std::string::npos) << out;
  g_free(out);
  g_free(self);
  g_strfreev(env);
}

TEST(GtkBackendTest, DISABLED_InitFailsHere) {
  GtkBackend backend;
  int argc = 1;
  char name[] = "child";
  char* args[] = {name, nullptr};
  char** argv = args;
  EXPECT_FALSE(backend.init(argc, argv));
}

}  // namespace
}  // namespace qn::test
