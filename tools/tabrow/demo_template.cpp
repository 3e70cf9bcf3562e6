#include "demo_template.h"

#include <cstring>
#include <string>
#include <vector>

#include "tabrow/dataunit.h"

namespace tabrow::cli {
namespace {

// Exchange buffer sizes and the byte offsets of their slots.
constexpr size_t kFieldBytes = 9328;
constexpr size_t kFieldType = 1120;
constexpr size_t kWhereBytes = 9392;
constexpr size_t kWhereName = 32;
constexpr size_t kWhereOperator = 544;
constexpr size_t kWhereValue = 548;
constexpr size_t kWhereJunction = 1092;
constexpr size_t kOrderBytes = 612;
constexpr size_t kOrderDescending = 512;

class Exchange {
 public:
  explicit Exchange(size_t size) : bytes_(size, 0) {}
  Exchange& Text(size_t at, const std::u16string& text) {
    std::memcpy(&bytes_[at], text.c_str(), 2 * (text.size() + 1));
    return *this;
  }
  Exchange& Word(size_t at, uint32_t word) {
    std::memcpy(&bytes_[at], &word, 4);
    return *this;
  }
  const void* data() const { return bytes_.data(); }

 private:
  std::vector<uint8_t> bytes_;
};

void AddField(XQueryTemplate* query, const std::u16string& expression, uint16_t type) {
  query->SetDesc(QDL_FIELD, nullptr,
                 Exchange(kFieldBytes).Text(0, expression).Word(kFieldType, type).data());
}

void AddCondition(XQueryTemplate* query, const std::u16string& name, uint32_t op,
                  const std::u16string& value, uint32_t junction) {
  query->SetDesc(QDL_WHERE, nullptr,
                 Exchange(kWhereBytes)
                     .Text(kWhereName, name)
                     .Word(kWhereOperator, op)
                     .Text(kWhereValue, value)
                     .Word(kWhereJunction, junction)
                     .data());
}

}  // namespace

XQueryTemplate* MakeDemoTemplate() {
  XQueryTemplate* query = XQueryTemplate::Malloc();
  if (query == nullptr) return nullptr;
  AddField(query, u"id", XDT_LONG);
  AddField(query, u"customer", XDT_STRING);
  AddField(query, u"total", XDT_DOUBLE);
  query->SetDataMuster(7, 0);
  AddCondition(query, u"customer", QOP_EQ, u"':customer'", QJN_AND);
  AddCondition(query, u"total", QOP_GT, u":min", QJN_AND);
  AddCondition(query, u"date", QOP_ISMONTH, u"':since'", 0);
  query->SetDesc(QDL_ORDER, nullptr,
                 Exchange(kOrderBytes).Text(0, u"total").Word(kOrderDescending, 1).data());
  return query;
}

}  // namespace tabrow::cli
