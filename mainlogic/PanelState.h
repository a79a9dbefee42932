// What the main window's panels show, as plain data. TMainLogic writes it; a window or the command
// line renders it and the tests read it. Texts are Shift-JIS. Positions are pixels, horizontal,
// relative to the panel that holds the control.
#pragma once

#include <string>
#include <vector>

namespace tabulon {

// A label: its caption and the x of its left edge.
struct TLabelState {
  std::string text;
  int left = 0;
  int width = 0;  // as measured by TMainLogic's label measure when the text was set
};

// The item panel (GroupBox1): the distinct values of a text column with few values.
struct TItemPanelState {
  bool visible = false;
  std::string caption;             // the column name
  std::vector<std::string> items;  // ListBox3 entries, in distinct-value file order
  std::vector<bool> picked;        // one per entry
};

// The range panel (GroupBox2) of a numeric column: the range bar and the division choice.
struct TRangePanelState {
  static constexpr int kBarLeft = 8;  // Panel2's left edge within the panel
  bool visible = false;
  std::string caption;
  int W = 361;  // Panel2: the whole bar, 1-pixel border included
  int L = 144;  // Panel3: the shaded part below the lower bound; the lower handle is at 1 + L
  int R = 144;  // Panel4: the shaded part above the upper bound; the upper handle at W-1-R-3
  TLabelState label3;                  // the column's minimum, at the bar's left end
  TLabelState label4;                  // the column's maximum, right-aligned at the bar's right end
  TLabelState label5;                  // the lower bound, under the lower handle
  TLabelState label6;                  // the upper bound, under the upper handle
  std::vector<std::string> divisions;  // ComboBox2: "全て" and division counts
  int divisionIndex = -1;              // the entry of the count in force, -1 none
  std::string
      divisionInForce;  // the count in force ("全て" for none): shown when no entry names it
};

// The search panel (GroupBox3) of a text column with many values.
struct TSearchPanelState {
  bool visible = false;
  std::string caption;
  std::string patternBox;            // Edit1
  std::vector<std::string> matches;  // ListBox4: at most 2001 entries
  std::vector<bool> picked;          // one per entry
  std::string countText = "-";       // Label8
};

// Which picker of the date panel; kWeekday is the weekday choice, which shares their handler.
enum class TDateControl { kLowerDate, kUpperDate, kLowerTime, kUpperTime, kWeekday };

struct TPickerState {
  double value = 0;  // date-time serial; date pickers hold whole days, time pickers fractions
  bool visible = true;
  int left = 8;
};

// The date panel (GroupBox4).
struct TDatePanelState {
  static constexpr int kDatePickerLeft = 8;
  static constexpr int kTimePickerBesideLeft = 160;
  bool visible = false;
  std::string caption;
  // DateTimePicker1 to DateTimePicker4: lower date, upper date, lower time, upper time.
  TPickerState pickers[4];
  double earliestDay = 0;  // allowed range of the two date pickers; 0 means no limit
  double latestDay = 0;
  std::string earliestLabel;           // Label10: the column's earliest value
  std::string latestLabel;             // Label11: its latest value
  bool weekdayVisible = true;          // ComboBox1 and its label Label9 "曜日選択"
  int weekdayIndex = -1;               // ComboBox1's selected entry, -1 none (any day)
  std::vector<std::string> intervals;  // RadioGroup1 "集計間隔"
  int intervalIndex = -1;              // the selected entry, -1 none
};

}  // namespace tabulon
