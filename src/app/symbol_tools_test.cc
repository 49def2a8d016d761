// inspect, render and sheet on the fake platform: the faults of reading and
// writing that the real program's tests cannot stage.

#include "app/symbol_tools.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/fake/fake_platform.h"
#include "support/sml_bytes.h"
#include "support/sym_text.h"
#include "support/symbol_builders.h"

namespace {

const std::string kLamp =
    kSymHeader + "L 0.0 0.0 0.0 2.0 0.0 0.0\nC 5.0 0.0 0.0 3.0\n";

class SymbolTools : public ::testing::Test {
 protected:
  std::ostringstream m_out;
  std::ostringstream m_err;
  CToolOutput m_io{m_out, m_err};
  CFakePlatform m_platform;
};

TEST_F(SymbolTools, FullDiskDuringRenderKeepsTheEarlierPicture) {
  m_platform.PutFile("/d/LAMP.SYM", kLamp);
  m_platform.PutFile("/d/LAMP.svg", "earlier picture");
  m_platform.SetShortWrite(10);
  CRenderRequest request;
  request.files = {"/d/LAMP.SYM"};

  EXPECT_EQ(RenderSymbolFiles(m_platform, request, m_io), 1);
  EXPECT_EQ(m_platform.FileBytes("/d/LAMP.svg"), "earlier picture");
  EXPECT_EQ(m_platform.FilePaths(),
            (std::vector<std::string>{"/d/LAMP.SYM", "/d/LAMP.svg"}));
  EXPECT_NE(m_err.str().find("/d/LAMP.svg: cannot be written"),
            std::string::npos)
      << m_err.str();
  EXPECT_EQ(m_out.str(), "");
}

TEST_F(SymbolTools, RenderGoesOnAfterAnUnreadableInput) {
  m_platform.PutFile("/d/LAMP.SYM", kLamp);
  m_platform.PutFolder("/d/DIR.SYM");
  CRenderRequest request;
  request.files = {"/d/DIR.SYM", "/d/LAMP.SYM"};
  request.output = "/out";
  request.output_is_folder = true;
  m_platform.PutFolder("/out");

  EXPECT_EQ(RenderSymbolFiles(m_platform, request, m_io), 1);
  EXPECT_NE(m_err.str().find("symconv: /d/DIR.SYM: "), std::string::npos);
  EXPECT_TRUE(m_platform.HasFile("/out/LAMP.svg"));
  EXPECT_EQ(m_out.str(), "/out/LAMP.svg\n");
}

TEST_F(SymbolTools, NonRegularInputToSheetIsRefusedWithItsName) {
  CSymbol symbol;
  AddLine(&symbol, 0, 0, 1, 1);
  m_platform.PutFile("/lib/B.SML", EncodeSml(symbol, "B"));
  m_platform.PutFolder("/lib/A.SML");
  CSheetRequest request{"/lib", {"/lib/B.SML", "/lib/A.SML"}, "/s.html"};

  EXPECT_EQ(WriteSymbolSheet(m_platform, request, m_io), 1);
  EXPECT_NE(m_err.str().find("symconv: /lib/A.SML: "), std::string::npos)
      << m_err.str();
  const std::string page = m_platform.FileBytes("/s.html").value_or("");
  // Both tiles, in the order of their names.
  EXPECT_LT(page.find("A.SML"), page.find("B.SML"));
  EXPECT_EQ(m_out.str(), "/s.html: 1 symbols, 1 errors\n");
}

TEST_F(SymbolTools, SheetThatCannotBeWrittenFailsAndKeepsTheEarlierPage) {
  m_platform.PutFile("/s.html", "earlier page");
  m_platform.FailOperation(FakeFileOp::kRename, 1);
  CSheetRequest request{"/lib", {}, "/s.html"};

  EXPECT_EQ(WriteSymbolSheet(m_platform, request, m_io), 1);
  EXPECT_EQ(m_platform.FileBytes("/s.html"), "earlier page");
  EXPECT_EQ(m_platform.FilePaths(), std::vector<std::string>{"/s.html"});
  EXPECT_EQ(m_out.str(), "");
}

TEST_F(SymbolTools, InspectReportsAFolderAndGoesOn) {
  CSymbol symbol;
  AddCircle(&symbol, 0, 0, 1);
  m_platform.PutFile("/B.SML", EncodeSml(symbol, "B"));
  m_platform.PutFolder("/A.SML");

  EXPECT_EQ(InspectSymbolFiles(m_platform, {"/A.SML", "/B.SML"}, true, m_io),
            1);
  std::istringstream lines(m_out.str());
  std::string first, second;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_NE(first.find("\"error\""), std::string::npos) << first;
  EXPECT_NE(second.find("\"B\""), std::string::npos) << second;
}

}  // namespace
