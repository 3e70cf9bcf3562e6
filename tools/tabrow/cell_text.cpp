#include "cell_text.h"

#include "tabrow/convert.h"
#include "tabrow/dataunit.h"
#include "text.h"

namespace tabrow::cli {

CellText ReadCell(XRowGrider* grid, void* line, int32_t column) {
  XDataUnit unit;
  SetUnitNull(&unit);
  CellText cell;
  if (grid->GetValue(line, column, &unit) == 0 || (unit.Null & 1) != 0) return cell;
  switch (unit.Type) {
    case XDT_LONG:
    case XDT_DOUBLE:
    case XDT_DATETIME: {
      XCHAR text[400];
      DataTransfer(&unit, text, sizeof(text) / sizeof(text[0]));
      cell.kind = unit.Type == XDT_DATETIME ? CellKind::kText : CellKind::kNumber;
      cell.text = ToUtf8(text);
      break;
    }
    case XDT_STRING:
      cell.kind = CellKind::kText;
      cell.text = ToUtf8(unit.Value.Text);
      break;
    case XDT_ARCHIVE: {
      uint32_t length = 0;
      if (unit.Value.Archive != nullptr) unit.Value.Archive->GetLength(&length);
      cell.kind = CellKind::kOther;
      cell.text = "<" + std::to_string(length) + " bytes>";
      break;
    }
    default:
      cell.kind = CellKind::kOther;
      cell.text = "<type " + std::to_string(unit.Type) + ">";
      break;
  }
  ClearUnitData(&unit);
  return cell;
}

}  // namespace tabrow::cli
