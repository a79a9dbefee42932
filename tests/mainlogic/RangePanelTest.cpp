#include <gtest/gtest.h>

#include "FilterFixture.h"
#include "platform/Errors.h"

namespace tabulon {
namespace {

using test::ConvertErrorOf;
using test::Opened;
using test::S;
using test::Strings;

// Column 0 "Cur" 0 to 100; column 1 "Int" 0 to 100; column 2 "Int" 10 to 25.
const char* const kNumbers =
    "金額,数量,幅\r\n"
    "0,0,10\r\n"
    "50.5,10,12\r\n"
    "100,24,15\r\n"
    "20,25,20\r\n"
    "30,50,25\r\n"
    "40,100,25\r\n";

TEST(RangePanel, DraggingTheLowerHandle90PixelsCutsTheBoundToFourDecimals) {
  Opened d(S(kNumbers));
  TMainLogic& m = d.logic;
  const TRangePanelState& r = m.RangePanel();
  EXPECT_EQ(r.caption, S("金額"));
  EXPECT_EQ(r.label3.text + " " + r.label5.text + " " + r.label6.text + " " + r.label4.text,
            "0 0 100 100");
  EXPECT_EQ(r.W, 361);
  EXPECT_EQ(r.L + r.R, 2);

  m.Splitter2Moved(91);  // the left part is now 90 pixels wide
  EXPECT_EQ(d.Col(0).FLower, 24.9307);
  EXPECT_EQ(r.label5.text, "24.9307");
  EXPECT_EQ(r.L, 90);
  EXPECT_EQ(m.ColumnEntries()[0], S("* 金額"));
  EXPECT_EQ(m.Label2(), "4");  // 30, 40, 50.5 and 100
  m.ListBox2Click();
  EXPECT_EQ(m.ColumnEntries()[0], S("＊金額"));
  EXPECT_EQ(r.label5.text, "24.9307");
}

TEST(RangePanel, AnIntegerColumnShowsTheRoundedBoundButFiltersByTheExactOne) {
  Opened d(S(kNumbers));
  TMainLogic& m = d.logic;
  m.ListBox2Click(1);
  m.Splitter2Moved(91);
  EXPECT_EQ(d.Col(1).FLower, 24.9307);
  EXPECT_EQ(m.RangePanel().label5.text, "25");
  EXPECT_EQ(m.Label2(), "3");  // 25, 50 and 100 pass; 24 fails
}

TEST(RangePanel, IntegerBoundLabelsShowTheOutermostWholeNumbersThatPass) {
  Opened d(S(kNumbers));
  TMainLogic& m = d.logic;
  m.ListBox2Click(2);  // 10 to 25
  m.Label5Click("12.4");
  m.Label6Click("19.6");
  EXPECT_EQ(d.Col(2).FLower, 12.4);  // the bounds themselves stay
  EXPECT_EQ(d.Col(2).FUpper, 19.6);
  EXPECT_EQ(m.RangePanel().label5.text + " - " + m.RangePanel().label6.text, "13 - 19");
  EXPECT_EQ(m.Label2(), "1");  // 15; 12 and 20 lie outside
  m.Label5Click("-0.5");
  m.Label6Click("-0.5");
  EXPECT_EQ(m.RangePanel().label5.text + " " + m.RangePanel().label6.text, "0 -1");
  m.Label5Click("15");
  m.Label6Click("15");
  EXPECT_EQ(m.RangePanel().label5.text + " " + m.RangePanel().label6.text, "15 15");
  EXPECT_EQ(m.Label2(), "1");
}

TEST(RangePanel, AColumnWithoutValuesShowsNoExtremesAndIgnoresDrags) {
  for (const char* csv : {"数量\r\n", "数量,店\r\n,a\r\n,b\r\n"}) {
    Opened d(S(csv));
    TMainLogic& m = d.logic;
    const TRangePanelState& r = m.RangePanel();
    ASSERT_EQ(d.Col(0).FValueType, vtInt) << csv;
    EXPECT_EQ(r.label3.text + "|" + r.label4.text + "|" + r.label5.text + "|" + r.label6.text,
              "|||")
        << csv;
    m.Splitter2Moved(91);
    m.Splitter1Moved(200);
    m.Panel2MouseDown(TMouseButton::kLeft, 100);
    m.Panel3MouseDown(TMouseButton::kLeft, 0);
    m.Panel4MouseDown(TMouseButton::kLeft, 10);
    EXPECT_FALSE(d.Col(0).FFiltered) << csv;
    EXPECT_EQ(m.ColumnEntries()[0], S("  数量")) << csv;
    EXPECT_EQ(r.L + r.R, 2) << csv;
  }
}

TEST(RangePanel, BarClicksMoveTheBoundOfTheirSide) {
  Opened d(S(kNumbers));
  TMainLogic& m = d.logic;
  m.Panel3MouseDown(TMouseButton::kRight, 45);  // left part: any button
  EXPECT_EQ(d.Col(0).FLower, 12.4654);
  m.Panel2MouseDown(TMouseButton::kRight, 300);  // middle, right button: upper bound
  EXPECT_EQ(d.Col(0).FUpper, 83.1025);
  EXPECT_EQ(m.RangePanel().R, 61);
  m.Panel2MouseDown(TMouseButton::kMiddle, 200);  // nothing
  m.Panel4MouseDown(TMouseButton::kLeft, 25);     // 25 pixels into the right part
  EXPECT_EQ(m.RangePanel().R, 36);
  EXPECT_EQ(d.Col(0).FUpper, 90.0277);
  m.Panel2MouseDown(TMouseButton::kLeft, 180);
  EXPECT_EQ(d.Col(0).FLower, 49.8615);
}

TEST(RangePanel, TypedBoundsMayCrossOrLeaveTheExtremesWithoutLabelsOverlapping) {
  Opened d(S(kNumbers));
  TMainLogic& m = d.logic;
  const TRangePanelState& r = m.RangePanel();
  m.Label5Click("49.9");
  m.Label6Click("50.1");
  EXPECT_EQ(r.label5.text + " " + r.label6.text, "49.9 50.1");
  EXPECT_LE(r.label5.left + r.label5.width, r.label6.left);
  m.Label6Click(" 150 ");
  EXPECT_EQ(r.R, 0);
  EXPECT_LE(r.label6.left, r.label4.left);
  m.Label5Click("-20");
  EXPECT_EQ(r.L, 1);
  EXPECT_GE(r.label5.left, r.label3.left);
  EXPECT_EQ(m.Label2(), "6");
  m.Label5Click("200");
  EXPECT_EQ(m.Label2(), "0");
}

TEST(RangePanel, ATypedBoundThatIsNoNumberIsRefusedAndChangesNothing) {
  Opened d(S(kNumbers));
  TMainLogic& m = d.logic;
  for (const std::string typed : {"abc", "", "1e300"})
    EXPECT_EQ(ConvertErrorOf([&] { m.Label5Click(typed); }),
              "'" + typed + S("' は浮動小数点数ではありません"));
  EXPECT_FALSE(d.Col(0).FFiltered);
  EXPECT_EQ(d.Col(0).FLower, 0);
  EXPECT_EQ(m.ColumnEntries()[0], S("  金額"));
}

TEST(RangePanel, DivisionChoicesFollowTheSpanOfAnIntegerColumnOnly) {
  Opened d(S(kNumbers));
  TMainLogic& m = d.logic;
  const TRangePanelState& r = m.RangePanel();
  ASSERT_EQ(r.divisions.size(), 28u);  // currency: 全て and 2 to 1000 whatever its span
  EXPECT_EQ(r.divisions[27], "1000");
  EXPECT_EQ(d.Col(0).FDivisions, 6);  // 全て: every distinct value its own category
  m.ListBox2Click(2);                 // 10 to 25: a span of 15
  EXPECT_EQ(r.divisions, (Strings{S("全て"), "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
  EXPECT_EQ(r.divisionIndex, 0);
  m.Label6Click("20");  // a span of 10 offers up to 9; 全て stays shown, as it stays in force
  EXPECT_EQ(r.divisions.back(), "9");
  EXPECT_EQ(r.divisionIndex, 0);
}

TEST(RangePanel, TheDivisionChoiceShowsTheCountInForceAfterTheBoundsMove) {
  Opened d(S(kNumbers));
  TMainLogic& m = d.logic;
  const TRangePanelState& r = m.RangePanel();
  m.ListBox2Click(1);  // 数量, 0 to 100
  m.ComboBox2Change(Opened::IndexOf(r.divisions, "3"));
  m.Label5Click("10");  // the list is rebuilt; 3 classes are still in force and shown
  ASSERT_GE(r.divisionIndex, 0);
  EXPECT_EQ(r.divisions[static_cast<size_t>(r.divisionIndex)], "3");
  EXPECT_EQ(d.Col(1).FDivisions, 3);
  m.Label6Click("12");  // a span of 2 offers no count: the 3 in force is still what it names
  EXPECT_EQ(r.divisions, (Strings{S("全て")}));
  EXPECT_EQ(r.divisionIndex, -1);
  EXPECT_EQ(r.divisionInForce, "3");
  EXPECT_EQ(d.Col(1).FDivisions, 3);
}

TEST(RangePanel, AChosenDivisionCountSurvivesARefreshAndBecomesTheAxisClasses) {
  Opened d(S(kNumbers));
  TMainLogic& m = d.logic;
  m.ListBox2Click(1);
  m.ComboBox2Change(Opened::IndexOf(m.RangePanel().divisions, "3"));
  EXPECT_EQ(d.Col(1).FDivisions, 3);
  m.ListBox2Click();
  EXPECT_EQ(m.RangePanel().divisions[static_cast<size_t>(m.RangePanel().divisionIndex)], "3");
  m.SpeedButton1Click(kRoleColumnItems);  // column items
  EXPECT_EQ(Opened::Row(m.MainGrid(), 0), S("|  0- 33| 34- 66| 67-100|合計"));
  m.ComboBox2Change(Opened::IndexOf(m.RangePanel().divisions, "2"));
  EXPECT_EQ(Opened::Row(m.MainGrid(), 0), S("|  0- 49| 50-100|合計"));
}

// A narrower range that no longer offers the count in force brings it down to the
// largest count offered, and the choice names it.
TEST(RangePanel, ANarrowerRangeBringsTheCountInForceDownToTheLargestOffered) {
  std::string csv = "数量\r\n";
  for (int i = 1; i <= 20; ++i) csv += std::to_string(i) + "\r\n";
  Opened d(S(csv));
  TMainLogic& m = d.logic;
  const TRangePanelState& r = m.RangePanel();
  m.ComboBox2Change(Opened::IndexOf(r.divisions, "10"));
  m.SpeedButton1Click(kRoleColumnItems);
  m.Label5Click("9");
  EXPECT_EQ(d.Col(0).FDivisions, 10);  // 9..20 still offers 10
  m.Label6Click("15");                 // 9..15 offers 2 to 5
  EXPECT_EQ(r.divisions.back(), "5");
  EXPECT_EQ(d.Col(0).FDivisions, 5);
  ASSERT_GE(r.divisionIndex, 0);
  EXPECT_EQ(r.divisions[static_cast<size_t>(r.divisionIndex)], "5");
  EXPECT_EQ(r.divisionInForce, "5");
  EXPECT_EQ(Opened::Row(m.MainGrid(), 0), S("| 9-10|11-11|12-12|13-13|14-15|合計"));
  m.ListBox2Click();  // a refresh keeps it
  EXPECT_EQ(d.Col(0).FDivisions, 5);
  EXPECT_EQ(r.divisions[static_cast<size_t>(r.divisionIndex)], "5");
  m.Label6Click("20");  // widening again keeps the count in force
  EXPECT_EQ(d.Col(0).FDivisions, 5);
}

TEST(RangePanel, ResetReturnsTheBarLabelsMarkerAndRole) {
  Opened d(S(kNumbers));
  TMainLogic& m = d.logic;
  m.Splitter2Moved(91);
  m.Splitter1Moved(300);
  m.SpeedButton1Click(kRoleRowItems);
  m.Button4Click();
  const TRangePanelState& r = m.RangePanel();
  EXPECT_EQ(r.L + r.R, 2);
  EXPECT_EQ(r.label5.text + " " + r.label6.text, "0 100");
  EXPECT_EQ(m.ColumnEntries()[0], S("  金額"));
  EXPECT_EQ(d.Col(0).FRole, kRoleNone);
  EXPECT_FALSE(m.Workspace().roleDown[kRoleRowItems]);
  EXPECT_EQ(m.Label2(), "6");
}

}  // namespace
}  // namespace tabulon
