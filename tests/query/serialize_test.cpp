#include <gtest/gtest.h>

#include <random>

#include "byte_stream.h"
#include "query/query_test_util.h"

namespace {

using query_test::NewTemplate;
using query_test::TemplatePtr;

constexpr uint32_t kFields = 0x10001;
constexpr uint32_t kConditions = 0x10002;
constexpr uint32_t kRecord = 0x1001;
constexpr uint32_t kComputedEnd = 0x110011;

using test_util::Bytes;
using test_util::Stream;

// A stored template starts with its words 1 to 5.
Stream Words(uint32_t muster1, uint32_t muster2) {
  Stream s;
  s.WordItem(1, muster1).WordItem(2, muster2).WordItem(3, 0).WordItem(4, 0).WordItem(5, 0);
  return s;
}

Bytes Store(XQueryTemplate* query) {
  XMemoArchive archive;
  EXPECT_NE(query->Serialize(&archive, 1), 0);
  return test_util::Contents(&archive);
}

int32_t Load(XQueryTemplate* query, const Bytes& bytes) {
  XCakeArchive archive;
  archive.SetBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()));
  return query->Serialize(&archive, 0);
}

TEST(StoredFormTest, WritesTheTemplateByteForByte) {
  TemplatePtr query = NewTemplate();
  EXPECT_EQ(Store(query.get()), Words(0, 0).Close(0).bytes());
  query->SetDataMuster(7, 0);
  query_test::Add(query.get(), QDL_FIELD, u"a", XDT_LONG);
  Stream expected = Words(7, 0);
  expected.Open(kFields).Open(kRecord).TextItem(1, u"a").HalfItem(3, 1).HalfItem(4, 4);
  expected.WordItem(5, 0).WordItem(6, 0).Close(kRecord).Close(kFields).Close(0);
  EXPECT_EQ(Store(query.get()), expected.bytes());
}

// A template with every list filled with random texts and words, through the exchange buffers.
TemplatePtr RandomTemplate(std::mt19937& rng) {
  auto text = [&rng](size_t longest) {
    std::u16string out(rng() % (longest + 1), u'x');
    for (char16_t& c : out) c = static_cast<char16_t>(1 + rng() % 0xD7FF);
    return out;
  };
  // Per list: text slots (offset, longest text) and word slots; parenthesis slots as texts.
  struct Slots {
    std::vector<std::pair<size_t, size_t>> texts;
    std::vector<size_t> words;
  };
  const Slots lists[] = {
      {{{0, 511}, {1024, 47}, {1136, 4095}}, {1120, 1124, 1128, 1132}},
      {{{32, 255}, {548, 255}, {1100, 47}, {1200, 4095}}, {544, 1092, 1096, 1196}},
      {{{0, 255}, {512, 47}}, {}},
      {{{0, 255}, {516, 47}}, {512}}};
  TemplatePtr query = NewTemplate();
  query->SetDataMuster(rng(), rng());
  query->TemplateWord3 = static_cast<int32_t>(rng());
  query->TemplateWord4 = static_cast<int32_t>(rng());
  query->TemplateWord5 = static_cast<int32_t>(rng());
  query->SetFromClause(text(3).c_str());
  for (int32_t list = QDL_FIELD; list <= QDL_ORDER; ++list) {
    for (int i = rng() % 4; i > 0; --i) {
      query_test::Buffer b(query_test::kWhereBytes);
      for (auto [at, longest] : lists[list].texts) b.PutText(at, text(longest));
      for (size_t at : lists[list].words) b.PutWord(at, rng());
      if (list == QDL_WHERE) {
        b.PutText(0, std::u16string(rng() % 4, u'('));
        b.PutText(1060, std::u16string(rng() % 4, u')'));
      }
      query->SetDesc(list, nullptr, b.bytes.data());
    }
  }
  return query;
}

TEST(StoredFormTest, RandomTemplatesRoundTrip) {
  std::mt19937 rng(77);
  for (int round = 0; round < 200; ++round) {
    TemplatePtr query = RandomTemplate(rng);
    Bytes stored = Store(query.get());
    TemplatePtr loaded = NewTemplate();
    ASSERT_EQ(Load(loaded.get(), stored), 1);
    ASSERT_EQ(Store(loaded.get()), stored) << "round " << round;
  }
}

TEST(StoredFormTest, LoadingSkipsWhatItDoesNotKnow) {
  Stream stream;
  stream.WordItem(1, 3).WordItem(99, 5).Open(0x777).WordItem(1, 1).Open(1).Close(1).Close(0x777);
  stream.TextItem(16, u"orders").Open(kFields).WordItem(8, 1).Open(kRecord).TextItem(1, u"a");
  stream.WordItem(42, 0).HalfItem(3, XDT_DATETIME).HalfItem(4, 1).Close(kRecord);
  stream.Close(kFields).Close(kComputedEnd);
  TemplatePtr query = NewTemplate();
  query_test::Add(query.get(), QDL_GROUP, u"dropped by loading");
  ASSERT_EQ(Load(query.get(), stream.bytes()), 1);
  Stream expected = Words(3, 0);
  expected.TextItem(16, u"orders").Open(kFields).Open(kRecord).TextItem(1, u"a");
  expected.HalfItem(3, XDT_DATETIME).HalfItem(4, 8).WordItem(5, 0).WordItem(6, 0);
  EXPECT_EQ(Store(query.get()), expected.Close(kRecord).Close(kFields).Close(0).bytes());
}

TEST(StoredFormTest, LoadingStopsAtTheFirstFaultKeepingWhatItRead) {
  struct Case {
    const char* what;
    Stream stream;
    size_t fields;
  };
  Case cases[] = {
      {"unknown kind at top", Stream().WordItem(1, 1).Header(0, 0x55), 0},
      {"record in a record", Stream().Open(kFields).Open(kRecord).Close(kRecord).Open(0).Open(1),
       2},
      {"text too long",
       Stream().Open(kFields).Open(kRecord).TextItem(1, std::u16string(1024, u'a')), 1},
      {"number too wide", Stream().Open(kFields).Open(kRecord).WordItem(3, 1), 1},
  };
  for (const Case& c : cases) {
    TemplatePtr query = NewTemplate();
    EXPECT_EQ(Load(query.get(), c.stream.bytes()), 0) << c.what;
    size_t fields = 0;
    for (auto* f = static_cast<XQueryFieldDesc*>(query->GetDescList(QDL_FIELD)); f; f = f->Next) {
      ++fields;
    }
    EXPECT_EQ(fields, c.fields) << c.what;
  }
}

TEST(ComputedFormTest, WritesOneRecordPerLiveLeaf) {
  TemplatePtr query = NewTemplate();
  query->SetDataMuster(1, 2);
  query->SetBinder(nullptr, query_test::Binder);
  query->SetFromClause(u"@t");
  query_test::Add(query.get(), QDL_FIELD, u"@f", XDT_LONG);
  // a AND (b OR c), c never holding: the root group keeps a and b.
  query_test::AddCondition(query.get(), {u"", u"@a", QOP_GT, u"1", u"", QJN_AND, QUB_LITERAL});
  query_test::AddCondition(query.get(), {u"(", u"b", QOP_EQ, u"2", u"", QJN_OR});
  query_test::AddCondition(query.get(), {u"", u"?c", QOP_EQ, u"3", u")", 0, QUB_FALSE});
  XMemoArchive archive;
  ASSERT_EQ(query->ComputeTemplate(&archive), 0);
  EXPECT_EQ(query->GetDescList(QDL_WHERETREE), nullptr);
  Stream expected = Words(1, 2);
  expected.TextItem(16, u"vt").Open(kFields).Open(kRecord).TextItem(1, u"vf");
  expected.HalfItem(3, XDT_LONG).HalfItem(4, 0).WordItem(5, 0).Close(kRecord).Close(kFields);
  expected.Open(kConditions).Open(kRecord).TextItem(1, u"va").TextItem(2, u"1").WordItem(4, 1);
  expected.WordItem(5, QOP_GT | QJN_AND << 16).WordItem(6, QUB_LITERAL).Close(kRecord);
  expected.Open(kRecord).TextItem(1, u"b").TextItem(2, u"2").WordItem(4, 1 << 16);
  expected.WordItem(5, QOP_EQ).WordItem(6, 0).Close(kRecord).Close(kConditions);
  expected.Close(kComputedEnd);
  EXPECT_EQ(test_util::Contents(&archive), expected.bytes());
}

// Each fault as ReplaceTemplate and ComputeTemplate report it, on a template that is otherwise
// complete. Computing leaves no where tree behind.
TEST(BindingTest, StopsWithTheCodeOfTheFault) {
  using query_test::Add;
  using query_test::AddCondition;
  struct Case {
    const char* what;
    void (*spoil)(XQueryTemplate*);
    int32_t replaced, computed;
  } cases[] = {
      {"no binder", [](XQueryTemplate* q) { q->SetBinder(nullptr, nullptr); }, QTE_FAIL, QTE_FAIL},
      {"no fields", [](XQueryTemplate* q) { q->ClearDesc(QDL_FIELD); }, QTE_NOFIELDS, QTE_NOFIELDS},
      {"no muster", [](XQueryTemplate* q) { q->SetDataMuster(0, 0); }, QTE_NOMUSTER, QTE_NOMUSTER},
      {"from unbound", [](XQueryTemplate* q) { q->SetFromClause(u"?t"); }, 0, QTE_UNBOUND},
      {"shape", [](XQueryTemplate* q) { query_test::AddConditions(q, "(a) & b"); }, QTE_WHERESHAPE,
       QTE_WHERESHAPE},
      // Kept texts of 17 conditions outgrow the 8192-unit working buffer of ComputeTemplate.
      {"buffer full",
       [](XQueryTemplate* q) {
         for (int i = 17; i > 0; --i) {
           AddCondition(q, {u"", u"@" + std::u16string(254, u'n'), QOP_EQ,
                            u"@" + std::u16string(254, u'v'), u"", i > 1 ? QJN_AND : 0u});
         }
       },
       0, QTE_FAIL},
  };
  for (const Case& c : cases) {
    TemplatePtr replaced = NewTemplate(), computed = NewTemplate();
    for (XQueryTemplate* query : {replaced.get(), computed.get()}) {
      query->SetBinder(nullptr, query_test::Binder);
      query->SetDataMuster(4, 0);
      query->SetFromClause(u"t");
      Add(query, QDL_FIELD, u"f");
      c.spoil(query);
    }
    std::vector<XCHAR> buffer(16384);
    EXPECT_EQ(replaced->ReplaceTemplate(buffer.data()), c.replaced) << c.what;
    XMemoArchive archive;
    EXPECT_EQ(computed->ComputeTemplate(&archive), c.computed) << c.what;
    EXPECT_EQ(computed->GetDescList(QDL_WHERETREE), nullptr) << c.what;
  }
}

// Fills the whole room each text is given, rooms taken in the order ComputeTemplate binds.
int32_t FillBinder(void* rooms, XCHAR* text) {
  auto* left = static_cast<std::vector<size_t>*>(rooms);
  std::fill(text, text + left->front() - 1, u'w');
  text[left->front() - 1] = 0;
  left->erase(left->begin());
  return 1;
}

TEST(ComputeTemplateTest, BindersMayFillTheirWholeRoom) {
  std::vector<size_t> rooms = {4096, 1024, 1024};  // from text, field, ordering
  TemplatePtr query = NewTemplate();
  query->SetBinder(&rooms, FillBinder);
  query->SetDataMuster(1, 0);
  query->SetFromClause(u"t");
  query_test::Add(query.get(), QDL_FIELD, u"f");
  query_test::Add(query.get(), QDL_ORDER, u"o");
  XMemoArchive archive;
  ASSERT_EQ(query->ComputeTemplate(&archive), 0);
  TemplatePtr loaded = NewTemplate();
  ASSERT_EQ(loaded->Serialize(&archive, 0), 1);
  EXPECT_EQ(
      std::u16string(static_cast<XQueryOrderDesc*>(loaded->GetDescList(QDL_ORDER))->Expression),
      std::u16string(1023, u'w'));
  // A Name that fills the whole condition buffer leaves no room for its Value.
  rooms = {4096, 1024, 8192};
  query->ClearDesc(QDL_ORDER);
  query_test::AddConditions(query.get(), "a");
  XMemoArchive again;
  EXPECT_EQ(query->ComputeTemplate(&again), QTE_FAIL);
}

// (a & (a & ... (a & b)...)), 100000 groups deep.
TEST(DeepTreeTest, NestingNeedsNoDeepStack) {
  constexpr uint32_t kDepth = 100000;
  Stream stream = Words(1, 0);
  stream.Open(kFields).Open(kRecord).TextItem(1, u"f").Close(kRecord).Close(kFields);
  stream.Open(kConditions);
  for (uint32_t i = 0; i <= kDepth; ++i) {
    bool last = i == kDepth;
    stream.Open(kRecord).TextItem(1, last ? u"b" : u"a").TextItem(2, u"1");
    stream.WordItem(4, last ? kDepth << 16 : 1);
    stream.WordItem(5, QOP_EQ | (last ? 0 : QJN_AND << 16)).Close(kRecord);
  }
  TemplatePtr query = NewTemplate();
  ASSERT_EQ(Load(query.get(), stream.Close(kConditions).Close(0).bytes()), 1);
  query->SetBinder(nullptr, query_test::Binder);
  std::u16string buffer(16, u'#');
  ASSERT_EQ(query->ReplaceTemplate(buffer.data()), 0);
  EXPECT_EQ(query->ComputeWhereTree(), 0);
  std::u16string out(kDepth * 12 + 8, u'#');
  auto* root = static_cast<XWhereTree*>(query->GetDescList(QDL_WHERETREE));
  EXPECT_EQ(MakeWhereClause(root, out.data()), static_cast<int32_t>(kDepth * 12 + 4));
  XMemoArchive archive;
  EXPECT_EQ(query->ComputeTemplate(&archive), 0);
}

}  // namespace
