#include <gtest/gtest.h>

#include "query/condition_logic.h"
#include "query/query_test_util.h"

namespace {

using query_test::NewTemplate;
using query_test::TemplatePtr;

// Expected streams, item by item.
class Stream {
 public:
  Stream& Open(uint32_t id) { return Header(id, XMF_OPEN); }
  Stream& Close(uint32_t id) { return Header(id, XMF_CLOSE); }
  Stream& Word(uint32_t id, uint32_t value) { return Item(id, &value, 4); }
  Stream& Short(uint32_t id, uint16_t value) { return Item(id, &value, 2); }
  Stream& Text(uint32_t id, const std::u16string& text) {
    return Item(id, text.c_str(), static_cast<uint32_t>((text.size() + 1) * 2));
  }
  Stream& Words(uint32_t muster1, uint32_t muster2) {
    return Word(1, muster1).Word(2, muster2).Word(3, 0).Word(4, 0).Word(5, 0);
  }
  Stream& Header(uint32_t id, uint32_t kind) {
    Put(&id, 4);
    Put(&kind, 4);
    return *this;
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  Stream& Item(uint32_t id, const void* data, uint32_t size) {
    Header(id, XMF_DATA);
    Put(&size, 4);
    Put(data, size);
    return *this;
  }
  void Put(const void* data, size_t size) {
    auto* bytes = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), bytes, bytes + size);
  }
  std::vector<uint8_t> bytes_;
};

std::vector<uint8_t> Bytes(XMemoArchive& archive) {
  uint32_t length = 0;
  archive.GetLength(&length);
  const uint8_t* data = archive.GetData();
  return data == nullptr ? std::vector<uint8_t>() : std::vector<uint8_t>(data, data + length);
}

std::vector<uint8_t> Store(XQueryTemplate* query) {
  XMemoArchive archive;
  EXPECT_NE(query->Serialize(&archive, 1), 0);
  return Bytes(archive);
}

int32_t Load(XQueryTemplate* query, const std::vector<uint8_t>& bytes) {
  XCakeArchive archive;
  archive.SetBuffer(bytes.data(), static_cast<uint32_t>(bytes.size()));
  return query->Serialize(&archive, 0);
}

constexpr uint32_t kFields = 0x10001;
constexpr uint32_t kConditions = 0x10002;
constexpr uint32_t kRecord = 0x1001;

TEST(StoredFormTest, WritesTheExampleByteForByte) {
  TemplatePtr query = NewTemplate();
  query->SetDataMuster(7, 0);
  query_test::AddField(query.get(), u"a", XDT_LONG);
  Stream expected;
  expected.Words(7, 0).Open(kFields).Open(kRecord).Text(1, u"a").Short(3, 1).Short(4, 4);
  expected.Word(5, 0).Word(6, 0).Close(kRecord).Close(kFields).Close(0);
  EXPECT_EQ(Store(query.get()), expected.bytes());
}

TEST(StoredFormTest, ANewTemplateStoresItsWordsOnly) {
  TemplatePtr query = NewTemplate();
  EXPECT_EQ(Store(query.get()), Stream().Words(0, 0).Close(0).bytes());
}

TEST(StoredFormTest, StoringForcesTheSizeOfFixedTypes) {
  TemplatePtr query = NewTemplate();
  query_test::AddField(query.get(), u"d", XDT_DOUBLE);
  query_test::AddField(query.get(), u"s", XDT_STRING);
  auto* field = static_cast<XQueryFieldDesc*>(query->GetDescList(QDL_FIELD));
  field->Next->DataSize = 40;
  Store(query.get());
  EXPECT_EQ(field->DataSize, 8);
  EXPECT_EQ(field->Next->DataSize, 40);
}

// A template with every list filled from random texts and words.
TemplatePtr RandomTemplate(std::mt19937& rng) {
  auto text = [&rng](size_t longest) {
    std::u16string out(std::uniform_int_distribution<size_t>(0, longest)(rng), u'x');
    for (char16_t& c : out)
      c = static_cast<char16_t>(std::uniform_int_distribution<int>(1, 0xD7FF)(rng));
    return out;
  };
  auto word = [&rng]() { return static_cast<uint32_t>(rng()); };
  auto count = [&rng]() { return std::uniform_int_distribution<int>(0, 3)(rng); };
  TemplatePtr query = NewTemplate();
  query->SetDataMuster(word(), word());
  query->TemplateWord3 = static_cast<int32_t>(word());
  query->TemplateWord4 = static_cast<int32_t>(word());
  query->TemplateWord5 = static_cast<int32_t>(word());
  query->SetFromClause(text(3).c_str());
  for (int i = count(); i > 0; --i) {
    query_test::Buffer b(query_test::kFieldBytes);
    b.PutText(0, text(511));
    b.PutText(1024, text(47));
    b.PutWord(1120, word() % 6);
    b.PutWord(1124, word());
    b.PutWord(1128, word());
    b.PutWord(1132, word());
    b.PutText(1136, text(4095));
    query->SetDesc(QDL_FIELD, nullptr, b.data());
  }
  for (int i = count(); i > 0; --i) {
    query_test::Buffer b(query_test::kWhereBytes);
    b.PutText(0, std::u16string(word() % 4, u'('));
    b.PutText(32, text(255));
    b.PutWord(544, word());
    b.PutText(548, text(255));
    b.PutText(1060, std::u16string(word() % 4, u')'));
    b.PutWord(1092, word());
    b.PutWord(1096, word());
    b.PutText(1100, text(47));
    b.PutWord(1196, word());
    b.PutText(1200, text(4095));
    query->SetDesc(QDL_WHERE, nullptr, b.data());
  }
  for (int i = count(); i > 0; --i) query_test::AddGroup(query.get(), text(255));
  for (int i = count(); i > 0; --i) query_test::AddOrder(query.get(), text(255), word() % 2);
  return query;
}

TEST(StoredFormTest, RandomTemplatesRoundTrip) {
  std::mt19937 rng(77);
  for (int round = 0; round < 200; ++round) {
    TemplatePtr query = RandomTemplate(rng);
    std::vector<uint8_t> stored = Store(query.get());
    TemplatePtr loaded = NewTemplate();
    ASSERT_EQ(Load(loaded.get(), stored), 1);
    EXPECT_EQ(loaded->TemplateWord3, query->TemplateWord3);
    EXPECT_EQ(loaded->TemplateWord4, query->TemplateWord4);
    ASSERT_EQ(Store(loaded.get()), stored) << "round " << round;
    // The exchange buffers agree as well.
    for (int32_t list = QDL_FIELD; list <= QDL_ORDER; ++list) {
      void* a = nullptr;
      void* b = nullptr;
      do {
        query_test::Buffer from(query_test::kWhereBytes);
        query_test::Buffer to(query_test::kWhereBytes);
        query->GetNextDesc(list, &a, from.data());
        loaded->GetNextDesc(list, &b, to.data());
        ASSERT_EQ(from.bytes(), to.bytes());
      } while (a != nullptr && b != nullptr);
      EXPECT_EQ(a, b);
    }
  }
}

TEST(StoredFormTest, LoadingSkipsWhatItDoesNotKnow) {
  Stream stream;
  stream.Word(1, 3).Word(99, 5).Open(0x777).Word(1, 1).Open(1).Close(1).Close(0x777);
  stream.Text(16, u"orders").Open(kFields).Word(8, 1).Open(kRecord).Text(1, u"a").Word(42, 0);
  stream.Short(3, XDT_DATETIME).Short(4, 1).Close(kRecord).Close(kFields).Close(0x110011);
  TemplatePtr query = NewTemplate();
  query_test::AddGroup(query.get(), u"dropped by loading");
  query->Muster2 = 9;
  ASSERT_EQ(Load(query.get(), stream.bytes()), 1);
  EXPECT_EQ(query->Muster1, 3u);
  EXPECT_EQ(query->Muster2, 9u);  // not in the stream
  EXPECT_EQ(query_test::Narrow(query->FromText), "orders");
  EXPECT_EQ(query->GetDescList(QDL_GROUP), nullptr);
  auto* field = static_cast<XQueryFieldDesc*>(query->GetDescList(QDL_FIELD));
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(query_test::Narrow(field->Expression), "a");
  EXPECT_EQ(field->DataSize, 8);
}

struct BadStream {
  const char* what;
  Stream stream;
  size_t fields;  // records loaded before the failure
};

TEST(StoredFormTest, LoadingStopsAtTheFirstFault) {
  std::vector<BadStream> cases = {
      {"ends without closing", Stream().Words(1, 2), 0},
      {"opening header at the end", Stream().Words(1, 2).Open(5), 0},
      {"unknown kind at top", Stream().Word(1, 1).Header(0, 0x55), 0},
      {"record holds a record",
       Stream().Open(kFields).Open(kRecord).Close(kRecord).Open(kRecord).Open(1).Close(1), 2},
      {"text too long", Stream().Open(kFields).Open(kRecord).Text(1, std::u16string(1024, u'a')),
       1},
      {"number too wide", Stream().Open(kFields).Open(kRecord).Word(3, 1), 1},
  };
  for (BadStream& c : cases) {
    TemplatePtr query = NewTemplate();
    EXPECT_EQ(Load(query.get(), c.stream.bytes()), 0) << c.what;
    size_t fields = 0;
    for (auto* f = static_cast<XQueryFieldDesc*>(query->GetDescList(QDL_FIELD)); f; f = f->Next) {
      ++fields;
    }
    EXPECT_EQ(fields, c.fields) << c.what;
  }
}

TEST(StoredFormTest, EveryCutOfAStreamFailsCleanly) {
  std::mt19937 rng(5);
  TemplatePtr query = RandomTemplate(rng);
  query_test::AddField(query.get(), u"f");
  query_test::AddConditions(query.get(), "a & (b | c)");
  std::vector<uint8_t> stored = Store(query.get());
  for (size_t cut = 0; cut < stored.size(); ++cut) {
    std::vector<uint8_t> part(stored.begin(), stored.begin() + cut);
    TemplatePtr loaded = NewTemplate();
    ASSERT_EQ(Load(loaded.get(), part), 0) << cut;
  }
}

// Binds names starting with '?' as unresolved and "@x" as "v_x"; anything else stays.
int32_t ComputeBinder(void*, XCHAR* text) {
  if (text[0] == u'?') return QTE_UNBOUND;
  if (text[0] == u'!') return -7;
  if (text[0] != u'@') return 0;
  text[0] = u'v';
  return 1;
}

class ComputedFormTest : public testing::Test {
 protected:
  ComputedFormTest() : query_(NewTemplate()) {
    query_->SetDataMuster(1, 2);
    query_->SetBinder(nullptr, ComputeBinder);
    query_->SetFromClause(u"@t");
    query_test::AddField(query_.get(), u"@f", XDT_LONG);
  }

  int32_t Compute() {
    int32_t result = query_->ComputeTemplate(&archive_);
    EXPECT_EQ(query_->GetDescList(QDL_WHERETREE), nullptr);
    return result;
  }
  // Items 1 to 5, the from text and the field section.
  static Stream Head() {
    Stream s;
    s.Words(1, 2).Text(16, u"vt").Open(kFields).Open(kRecord).Text(1, u"vf").Short(3, XDT_LONG);
    s.Short(4, 0).Word(5, 0).Close(kRecord).Close(kFields);
    return s;
  }

  TemplatePtr query_;
  XMemoArchive archive_;
};

TEST_F(ComputedFormTest, AConditionThatNeverHoldsEndsAfterTheFields) {
  query_test::AddCondition(query_.get(), {u"", u"?x", QOP_EQ, u"1", u"", 0, QUB_FALSE});
  query_test::AddGroup(query_.get(), u"g");
  EXPECT_EQ(Compute(), 1);
  EXPECT_EQ(Bytes(archive_), Head().bytes());
}

TEST_F(ComputedFormTest, DroppedConditionsLeaveNoSection) {
  query_test::AddCondition(query_.get(), {u"", u"?x", QOP_EQ, u"1", u"", QJN_AND, QUB_DROP});
  query_test::AddCondition(query_.get(), {u"", u"y", QOP_EQ, u"?1", u"", 0, QUB_TRUE});
  query_test::AddOrder(query_.get(), u"@o", true);
  ASSERT_EQ(Compute(), 0);
  Stream expected = Head();
  expected.Open(0x10004).Open(kRecord).Text(1, u"vo").Word(3, 1).Close(kRecord).Close(0x10004);
  EXPECT_EQ(Bytes(archive_), expected.Close(0x110011).bytes());
}

TEST_F(ComputedFormTest, WritesOneRecordPerLiveLeaf) {
  query_test::AddCondition(query_.get(), {u"", u"@a", QOP_GT, u"1", u"", 0, QUB_LITERAL});
  ASSERT_EQ(Compute(), 0);
  Stream expected = Head();
  expected.Open(kConditions).Open(kRecord).Text(1, u"va").Text(2, u"1").Word(4, 0);
  expected.Word(5, QOP_GT).Word(6, QUB_LITERAL).Close(kRecord).Close(kConditions);
  EXPECT_EQ(Bytes(archive_), expected.Close(0x110011).bytes());
}

TEST_F(ComputedFormTest, ParenthesesAndJunctionsFollowTheSimplifiedTree) {
  // a AND (b OR c) with c never holding: the root group holds a and b.
  query_test::AddCondition(query_.get(), {u"", u"a", QOP_EQ, u"1", u"", QJN_AND});
  query_test::AddCondition(query_.get(), {u"(", u"b", QOP_EQ, u"2", u"", QJN_OR});
  query_test::AddCondition(query_.get(), {u"", u"?c", QOP_EQ, u"3", u")", 0, QUB_FALSE});
  ASSERT_EQ(Compute(), 0);
  Stream expected = Head();
  expected.Open(kConditions);
  expected.Open(kRecord).Text(1, u"a").Text(2, u"1").Word(4, 1).Word(5, QOP_EQ | QJN_AND << 16);
  expected.Word(6, 0).Close(kRecord);
  expected.Open(kRecord).Text(1, u"b").Text(2, u"2").Word(4, 1 << 16).Word(5, QOP_EQ);
  expected.Word(6, 0).Close(kRecord);
  expected.Close(kConditions).Close(0x110011);
  EXPECT_EQ(Bytes(archive_), expected.bytes());
}

TEST_F(ComputedFormTest, StopsWithItsCode) {
  struct Case {
    const char* what;
    int32_t result;
  };
  for (Case c : {Case{"no binder", QTE_FAIL},
                 {"no fields", QTE_NOFIELDS},
                 {"no muster", QTE_NOMUSTER},
                 {"from unbound", QTE_UNBOUND},
                 {"field missing", QTE_FIELDTEXT},
                 {"field error", -7},
                 {"build", QTE_WHEREBUILD},
                 {"shape", QTE_WHERESHAPE},
                 {"unbound fails", QTE_UNBOUND},
                 {"group missing", QTE_GROUPTEXT},
                 {"order error", -7}}) {
    TemplatePtr query = NewTemplate();
    std::string what = c.what;
    query->SetBinder(nullptr, what == "no binder" ? nullptr : ComputeBinder);
    query->SetDataMuster(what == "no muster" ? 0 : 4, 0);
    query->SetFromClause(what == "from unbound" ? u"?t" : u"t");
    if (what != "no fields") query_test::AddField(query.get(), u"f");
    if (what == "field missing") query_test::AddField(query.get(), u"");
    if (what == "field error") query_test::AddField(query.get(), u"!e");
    if (what == "build") query_test::AddCondition(query.get(), {u"", u"a", QOP_EQ, u"1", u")", 0});
    if (what == "shape") query_test::AddConditions(query.get(), "(a) & b");
    if (what == "unbound fails") {
      query_test::AddCondition(query.get(), {u"", u"a", QOP_EQ, u"?1", u"", 0, QUB_FAIL});
    }
    if (what == "group missing") query_test::AddGroup(query.get(), u"");
    if (what == "order error") query_test::AddOrder(query.get(), u"!o", false);
    XMemoArchive archive;
    EXPECT_EQ(query->ComputeTemplate(&archive), c.result) << c.what;
    EXPECT_EQ(query->GetDescList(QDL_WHERETREE), nullptr) << c.what;
  }
}

// Conditions whose bound texts outgrow the 8192-unit working buffer fail instead of overrunning.
TEST_F(ComputedFormTest, AWorkingBufferOverflowFails) {
  for (int i = 0; i < 20; ++i) {
    query_test::AddCondition(query_.get(), {u"", u"@" + std::u16string(254, u'n'), QOP_EQ,
                                            u"@" + std::u16string(254, u'v'), u"", QJN_AND});
  }
  auto* last = static_cast<XQueryWhereDesc*>(query_->GetDescList(QDL_WHERE));
  while (last->Next != nullptr) last = last->Next;
  last->OpJunction = QOP_EQ;
  EXPECT_EQ(Compute(), QTE_FAIL);
}

// A computed stream loads as a template whose conditions mean what the original ones meant.
TEST(ComputedFormProperty, LoadsBackWithTheSameMeaning) {
  std::mt19937 rng(31337);
  int compared = 0;
  for (int round = 0; round < 600; ++round) {
    std::vector<query_test::RandomCondition> list = query_test::RandomConditions(rng, true);
    TemplatePtr query = NewTemplate();
    query_test::AddField(query.get(), u"f");
    query->SetDataMuster(1, 0);
    query->SetBinder(nullptr, ComputeBinder);
    query_test::AddRandomConditions(query.get(), list);
    XMemoArchive archive;
    int32_t computed = query->ComputeTemplate(&archive);
    if (computed == QTE_WHERESHAPE) continue;
    ASSERT_GE(computed, 0) << query_test::ListText(list);
    TemplatePtr loaded = NewTemplate();
    archive.SeekToBegin();
    ASSERT_EQ(loaded->Serialize(&archive, 0), computed == 0 ? 1 : 0);
    loaded->SetBinder(nullptr, query_test::KeepBinder);
    XCHAR buffer[1024];
    ASSERT_EQ(loaded->ReplaceTemplate(buffer), 0);
    std::u16string text(4096, u'#');
    auto* root = static_cast<XWhereTree*>(loaded->GetDescList(QDL_WHERETREE));
    int32_t length = MakeWhereClause(root, text.data());
    ASSERT_GE(length, 0);
    text.resize(static_cast<size_t>(length));
    std::vector<int> list_tokens = query_test::ListTokens(list);
    std::vector<int> text_tokens = query_test::TextTokens(text);
    for (uint32_t assignment = 0; assignment < 1u << list.size(); ++assignment) {
      bool ok = false;
      bool expected = query_test::Evaluator(list_tokens, assignment).Run(&ok);
      bool actual = computed == 0;
      if (length > 0) {
        actual = query_test::Evaluator(text_tokens, assignment).Run(&ok);
        ASSERT_TRUE(ok) << query_test::Narrow(text.c_str());
      }
      ASSERT_EQ(actual, expected) << query_test::ListText(list) << " computed as "
                                  << query_test::Narrow(text.c_str());
    }
    ++compared;
  }
  EXPECT_GT(compared, 300);
}

}  // namespace
