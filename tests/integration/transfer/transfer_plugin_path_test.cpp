// The loadable module: GStreamer finds ostreltransfer on GST_PLUGIN_PATH.
#include <gtest/gtest.h>

#include <glib.h>

#include <string>

namespace {

TEST(TransferModule, GstInspectFindsTheElementOnThePluginPath) {
  if (std::string(OSTREL_GST_INSPECT).empty() ||
      std::string(OSTREL_GST_INSPECT).find("NOTFOUND") != std::string::npos)
    GTEST_SKIP() << "gst-inspect-1.0 is not installed";
  gchar** env = g_get_environ();
  env = g_environ_setenv(env, "GST_PLUGIN_PATH", OSTREL_TRANSFER_MODULE_DIR, TRUE);
#ifdef OSTREL_SANITIZER_PRELOAD
  env = g_environ_setenv(env, "LD_PRELOAD", OSTREL_SANITIZER_PRELOAD, TRUE);
  env = g_environ_setenv(env, "ASAN_OPTIONS", "detect_leaks=0", TRUE);
#endif
  gchar* argv[] = {const_cast<gchar*>(OSTREL_GST_INSPECT), const_cast<gchar*>("ostreltransfer"),
                   nullptr};
  gchar* out = nullptr;
  gchar* err = nullptr;
  gint status = -1;
  GError* error = nullptr;
  const gboolean spawned = g_spawn_sync(nullptr, argv, env, G_SPAWN_DEFAULT, nullptr, nullptr, &out,
                                        &err, &status, &error);
  g_strfreev(env);
  ASSERT_TRUE(spawned) << (error ? error->message : "");
  const std::string text = out ? out : "";
  EXPECT_TRUE(g_spawn_check_wait_status(status, nullptr)) << text << (err ? err : "");
  EXPECT_NE(text.find("Video transfer filter"), std::string::npos) << text;
  EXPECT_NE(text.find("libgstostreltransfer.so"), std::string::npos) << text;
  EXPECT_NE(text.find("output-width"), std::string::npos);
  EXPECT_NE(text.find("available-sizes"), std::string::npos);
  g_free(out);
  g_free(err);
}

}  // namespace
