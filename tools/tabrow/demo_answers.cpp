#include "demo_answers.h"

namespace tabrow::cli {
namespace {

const char kCatalogue[] = R"({
  "store": "城南书店",
  "updated": "2024-03-05 14:07:09",
  "data": {
    "items": [
      {"id": 1, "title": "红楼梦", "price": 59.5, "added": "2023-11-02 09:30:00",
       "author": {"name": "曹雪芹", "born": 1715},
       "editions": [{"year": 1791, "publisher": "萃文书屋"},
                    {"year": 1982, "publisher": "人民文学出版社"}]},
      {"id": 2, "title": "三体", "price": 23, "added": "2024-01-15 18:05:00",
       "author": {"name": "刘慈欣", "born": 1963},
       "editions": [{"year": 2008, "publisher": "重庆出版社"}]},
      {"id": 3, "title": "The Art of Computer Programming", "price": 199.99,
       "added": "2022-06-30 08:00:00",
       "author": {"name": "Donald Knuth", "born": 1938},
       "editions": [{"year": 1968, "publisher": "Addison-Wesley"},
                    {"year": 1997, "publisher": "Addison-Wesley"}]}
    ]
  }
}
)";

const char kOrders[] = R"(<?xml version="1.0" encoding="utf-8"?>
<response status="ok">
  <orders region="华东">
    <order id="1001" date="2024-03-01 10:15:00">
      <customer>王小明</customer><total>128.5</total><note>请尽快发货</note>
    </order>
    <order id="1002" date="2024-03-02 16:40:00">
      <customer>Anna Schmidt</customer><total>76</total>
    </order>
    <order id="1003" date="2024-03-03 09:05:00">
      <customer>李华</customer><total>342.25</total><note>gift &amp; card</note>
    </order>
  </orders>
</response>
)";

}  // namespace

std::vector<DemoAnswer> DemoAnswers() {
  return {
      {"/catalogue", "application/json; charset=utf-8", kCatalogue},
      {"/orders", "text/xml; charset=utf-8", kOrders},
  };
}

}  // namespace tabrow::cli
