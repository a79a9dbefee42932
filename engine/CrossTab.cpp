// Recalculate and CrossTabulate: the table's layout, the axes and the run plan.
#include <algorithm>

#include "engine/Engine.h"
#include "engine/EngineInternal.h"
#include "platform/SjisText.h"

namespace tabulon {

using engine_detail::TAccumulators;
using engine_detail::TFold;
using engine_detail::TRunPlan;

namespace {

TFold ChooseFold(const TCol& value, bool timeOfDay, TAggregate aggregate) {
  if (aggregate == TAggregate::kCount) return TFold::kNone;
  if (value.FValueType == vtStr) {
    if (aggregate == TAggregate::kMin) return TFold::kTextMin;
    if (aggregate == TAggregate::kMax) return TFold::kTextMax;
    return TFold::kTextFirst;
  }
  if (aggregate == TAggregate::kMin) return TFold::kMin;
  if (aggregate == TAggregate::kMax) return TFold::kMax;
  // "合計" of dates keeps the last record's date; their "平均" is the mean date.
  if (value.FValueType == vtDat && !timeOfDay && aggregate == TAggregate::kSum) return TFold::kLast;
  return TFold::kSum;
}

int HalfWidth(const TResultTable& table) {
  return table.Width() / 2;
}

void SetColumnAxis(TResultTable& table, const std::vector<std::string>& labels) {
  const int n = static_cast<int>(labels.size());
  table.SetColCount(n + 2);
  for (int k = 0; k < n; ++k) {
    table.ClearCol(k + 1);
    table.SetColWidth(k + 1, table.DefaultColWidth());
    table.SetCell(k + 1, 0, labels[static_cast<size_t>(k)]);
    const int w = table.TextWidth(labels[static_cast<size_t>(k)]);
    if (w > table.ColWidth(k + 1)) table.SetColWidth(k + 1, std::min(w + 2, HalfWidth(table)));
  }
  table.ClearCol(n + 1);
  table.SetCell(n + 1, 0, Sjis("合計"));
}

void SetRowAxis(TResultTable& table, const std::vector<std::string>& labels) {
  const int n = static_cast<int>(labels.size());
  table.SetRowCount(n + 2);
  int widest = 0;
  for (int k = 0; k < n; ++k) {
    table.ClearRow(k + 1);
    table.SetCell(0, k + 1, labels[static_cast<size_t>(k)]);
    widest = std::max(widest, table.TextWidth(labels[static_cast<size_t>(k)]));
  }
  table.ClearRow(n + 1);
  table.SetCell(0, n + 1, Sjis("合計"));
  if (table.ColWidth(0) < widest + 2) table.SetColWidth(0, std::min(widest + 2, HalfWidth(table)));
}

void ResetTable(TResultTable& table) {
  table.SetColCount(3);
  table.SetRowCount(3);
  for (int r = 0; r < 3; ++r) table.ClearRow(r);
  for (int c = 0; c < 3; ++c) table.SetColWidth(c, table.DefaultColWidth());
}

}  // namespace

void Recalculate(TWorkspace& ws) {
  const bool anyRole = std::any_of(ws.FCols.begin(), ws.FCols.end(),
                                   [](const auto& col) { return col->FRole != kRoleNone; });
  if (anyRole) {
    CrossTabulate(ws);
    return;
  }
  Button13Click(ws);
  for (auto& col : ws.FCols)
    if (col->FFiltered) col->Load();
  TRunPlan plan;
  TAccumulators acc;
  acc.Reset(plan.nc, plan.nr);
  engine_detail::RecordPass(ws, plan, acc, nullptr);
  ws.recordCountText = std::to_string(acc.count[0]);
}

void CrossTabulate(TWorkspace& ws) {
  // The output grid, reset to 3 x 3.
  TResultTable& table = *ws.hooks->ChooseOutputGrid();
  ws.FOutGrid = &table;
  ResetTable(table);

  // The axes with their labels, and the value column with its fold.
  TRunPlan plan;
  for (auto& colPtr : ws.FCols) {
    TCol& col = *colPtr;
    if (col.FRole == kRoleColumnItems) {
      const std::vector<std::string> labels = engine_detail::AxisLabels(col);
      plan.colAxis = col.FIndex;
      plan.nc = static_cast<int>(labels.size());
      SetColumnAxis(table, labels);
    } else if (col.FRole == kRoleRowItems) {
      const std::vector<std::string> labels = engine_detail::AxisLabels(col);
      plan.rowAxis = col.FIndex;
      plan.nr = static_cast<int>(labels.size());
      SetRowAxis(table, labels);
    } else if (col.FRole == kRoleValue) {
      plan.valueCol = col.FIndex;
      plan.timeOfDay = col.FValueType == vtDat && col.FMax - col.FMin <= 1;
    }
  }
  if (plan.colAxis < 0) table.SetCell(2, 0, Sjis("合計"));
  if (plan.rowAxis < 0) table.SetCell(0, 2, Sjis("合計"));
  if (plan.valueCol >= 0)
    plan.fold =
        ChooseFold(*ws.FCols[static_cast<size_t>(plan.valueCol)], plan.timeOfDay, ws.aggregate);

  // Every record counted and folded into the accumulators.
  TAccumulators acc;
  acc.Reset(plan.nc, plan.nr);
  for (auto& col : ws.FCols) col->Load();
  engine_detail::RecordPass(ws, plan, acc, &table);

  // Totals, cell texts, widths, sort, chart and hidden empty lines; not for a run that counted
  // nothing, whose table no one reads.
  if (!ws.skipRecordPasses) engine_detail::FinishTable(ws, plan, acc, table);
}

}  // namespace tabulon
