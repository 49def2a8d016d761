// The bundled examples, converted as a user converts them, must keep their
// bytes: the expected files were made by a build whose outputs were checked
// by hand, and any change to the number formatting, the arc handling or the
// archive encoding shows up here as a changed byte.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/convert_app.h"
#include "platform/fake/fake_platform.h"

namespace {

std::string ReadSourceFile(const std::string& relative) {
  std::ifstream in(std::string(SYMCONV_SOURCE_DIR) + "/" + relative,
                   std::ios::binary);
  EXPECT_TRUE(in.good()) << relative;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(GoldenTest, ExamplesConvertToTheCommittedBytes) {
  const std::vector<std::string> sources = {
      "EARTH.SYM", "LAMP.SYM", "PARTS.DXF", "RESISTOR.SYM", "VALVE.SYM"};
  const std::vector<std::string> outputs = {
      "CAPACITOR.SML", "DIODE.SML",    "EARTH.SML", "LAMP.SML",
      "MOTOR.SML",     "RESISTOR.SML", "VALVE.SML"};
  CFakePlatform platform;
  platform.ScriptFolder("/examples");
  for (const std::string& name : sources) {
    platform.PutFile("/examples/" + name, ReadSourceFile("examples/" + name));
  }
  CConvertApp app(platform);
  app.RunBatch();
  EXPECT_EQ(app.outcome(), RunOutcome::kCompleted);
  EXPECT_FALSE(app.any_failure());

  for (const std::string& name : outputs) {
    SCOPED_TRACE(name);
    const auto bytes = platform.FileBytes("/examples/" + name);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_TRUE(*bytes == ReadSourceFile("tests/data/golden/" + name))
        << "the output's bytes changed";
  }
}

}  // namespace
