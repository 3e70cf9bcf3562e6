// tabrow demo: the library's main job from end to end, against a loopback server of the
// program's own: answers fetched with the real client, grids and a row extracted from them, a
// grid as a Rowset document, and a stored query template rendered as SQL.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "args.h"
#include "commands.h"
#include "demo_answers.h"
#include "demo_server.h"
#include "demo_template.h"
#include "extraction.h"
#include "fetch.h"
#include "files.h"
#include "grid_output.h"
#include "output_sink.h"
#include "tabrow/convert.h"
#include "tabrow/httpcall.h"
#include "tabrow/query.h"
#include "template_text.h"
#include "text.h"

namespace tabrow::cli {
namespace {

const std::vector<OptionInfo> kOptions = {
    {"save", 0, "DIR", "also store what the demo made in DIR, to try 'show' and 'sql' on"},
};

std::string Help() {
  return HelpText(
      "tabrow demo [OPTIONS]",
      "Runs the library's main job from end to end and prints what each step gives. A\n"
      "server inside the program, on 127.0.0.1, serves a JSON book catalogue and an XML\n"
      "list of orders; the real HTTP client fetches them, grids and a row are taken from\n"
      "them by path, a grid is written as a Rowset document, and a stored query template\n"
      "is printed with its SQL condition. 'tabrow' without a command runs this.",
      kOptions,
      "With --save DIR it writes catalogue.grid (binary form), orders.xml (Rowset) and\n"
      "orders.qt (query template) into DIR, making it when needed.\n");
}

constexpr char kEnvelope[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "<soap:Body><ListOrders region=\"华东\"/></soap:Body></soap:Envelope>";

struct TemplateDeleter {
  void operator()(XQueryTemplate* query) const { XQueryTemplate::Release(query); }
};

std::string Describe(const Extraction& extraction) {
  std::string text = "path " + extraction.path;
  std::string items;
  for (const QueryItem& item : extraction.items) {
    items += (items.empty() ? "" : ",") + std::string(item.child ? "@" : "") + ToUtf8(item.name);
  }
  if (!items.empty()) text += ", items " + items;
  if (!extraction.types.empty()) text += ", types " + extraction.types;
  return text;
}

// Each step prints what it did and what it got, and returns false with `error_` set when
// something fails.
class Demo {
 public:
  explicit Demo(std::string base_url) : base_url_(std::move(base_url)) {}

  bool Run(const std::string& save_dir) {
    std::printf("The library's main job, against a server of the program's own at %s.\n",
                base_url_.c_str());
    return Catalogue() && Editions() && Author() && Orders() && Rowset() && Template() &&
           (save_dir.empty() || Save(save_dir));
  }
  const std::string& error() const { return error_; }

 private:
  bool Catalogue() {
    FetchRequest request;
    request.url = base_url_ + "/catalogue";
    Heading("1. GET " + request.url);
    return Fetch(request, "/catalogue", &catalogue_) &&
           Grid({"/data/items", ParseItems("id,title,author/name,price,added"), "ISSFT"},
                &catalogue_, &books_);
  }

  // Each line's binder is its element of the array, where relative paths start.
  bool Editions() {
    Heading("2. The first book's editions, from its line's binder");
    const Extraction extraction{"editions", ParseItems("year,publisher"), "IS", Binder(books_, 0)};
    XRowGrider editions;
    return Grid(extraction, &catalogue_, &editions);
  }

  bool Author() {
    Heading("3. A row read back through the second line's binder");
    const Extraction extraction{"author", ParseItems("name,born"), "SI", Binder(books_, 1)};
    std::printf("%s:\n", Describe(extraction).c_str());
    XRowBuffer row;
    if (!ExtractRow(&catalogue_, extraction, &row, &error_)) return false;
    const std::vector<std::string> names = ColumnNamesOf(extraction);
    size_t i = 0;
    for (const XDataUnit* unit = row.GetRowBuffer(); unit != nullptr; unit = unit->Next, ++i) {
      XCHAR text[400];
      DataTransfer(unit, text, 400);
      std::printf("  %s = %s\n", i < names.size() ? names[i].c_str() : "?",
                  (unit->Null & 1) != 0 ? "null" : ToUtf8(text).c_str());
    }
    return true;
  }

  bool Orders() {
    FetchRequest request;
    request.url = base_url_ + "/orders";
    request.soap = true;
    request.soap_action = "urn:demo#ListOrders";
    request.staple = 1;  // text/xml; charset=utf-8
    XMemoArchive envelope;
    HttpSetupDoc(&envelope, ToUtf16(kEnvelope).c_str(), request.staple);
    request.body = &envelope;
    Heading("4. SOAP call " + request.soap_action + " to " + request.url);
    return Fetch(request, "/orders", &order_answer_) &&
           Grid({"/response/orders/order", ParseItems("id,date,@customer,@total,@note"), "ITSFS"},
                &order_answer_, &orders_);
  }

  bool Rowset() {
    Heading("5. The orders grid as a Rowset document");
    return WriteRowset(&orders_, stdout, &error_);
  }

  bool Template() {
    Heading("6. A query template, stored and loaded back");
    std::unique_ptr<XQueryTemplate, TemplateDeleter> made(MakeDemoTemplate());
    std::unique_ptr<XQueryTemplate, TemplateDeleter> loaded(XQueryTemplate::Malloc());
    if (made == nullptr || loaded == nullptr || made->Serialize(&stored_template_, 1) == 0 ||
        loaded->Serialize(&stored_template_, 0) == 0) {
      error_ = "the template could not be stored and loaded";
      return false;
    }
    std::printf("%s\n", DescribeTemplate(loaded.get()).c_str());
    const Bindings bindings = {{u"customer", u"王小明"}, {u"since", u"2024-03-01"}};
    std::printf(
        "\nIts condition with customer=王小明 and since=2024-03-01 (:min has no value, so\n"
        "the condition on total is dropped):\n");
    BoundCondition condition;
    if (!BindCondition(loaded.get(), bindings, &condition, &error_)) return false;
    std::printf("%s\n", condition.text.c_str());
    return true;
  }

  bool Save(const std::string& dir) {
    Heading("Saved in " + dir);
    std::error_code failed;
    std::filesystem::create_directories(dir, failed);
    if (failed) {
      error_ = "cannot make '" + dir + "': " + failed.message();
      return false;
    }
    XMemoArchive* stored = &stored_template_;
    uint32_t length = 0;
    stored->GetLength(&length);
    Output output;
    const bool saved = output.Open(dir + "/catalogue.grid", &error_) &&
                       WriteBinary(&books_, output.stream(), &error_) && output.Close(&error_) &&
                       output.Open(dir + "/orders.xml", &error_) &&
                       WriteRowset(&orders_, output.stream(), &error_) && output.Close(&error_) &&
                       output.Open(dir + "/orders.qt", &error_) &&
                       WriteBytes(stored->GetData(), length, output.stream(), &error_) &&
                       output.Close(&error_);
    if (saved) {
      std::printf(
          "catalogue.grid, orders.xml and orders.qt; try\n"
          "  tabrow show %s/orders.xml\n  tabrow sql %s/orders.qt customer=李华 min=100\n",
          dir.c_str(), dir.c_str());
    }
    return saved;
  }

  void Heading(const std::string& text) { std::printf("\n%s\n", text.c_str()); }

  // `served` names the answer among the server's, to show the content type it is sent with.
  bool Fetch(const FetchRequest& request, const std::string& served, XHttpBuffer* buffer) {
    uint64_t bytes = 0;
    if (!cli::Fetch(request, buffer, &bytes, &error_)) return false;
    std::string type;
    for (const DemoAnswer& answer : DemoAnswers()) {
      if (answer.path == served) type = answer.content_type;
    }
    std::printf("answer: %s, %llu bytes, kept as %s document\n", type.c_str(),
                static_cast<unsigned long long>(bytes),
                HeldDocument(*buffer) == "xml" ? "an XML" : "a JSON");
    return true;
  }

  bool Grid(const Extraction& extraction, XHttpBuffer* buffer, XRowGrider* grid) {
    std::printf("grid of %s:\n\n", Describe(extraction).c_str());
    return ExtractGrid(buffer, extraction, grid, &error_) &&
           WriteTable(grid, ColumnNamesOf(extraction), stdout, &error_);
  }

  // The binder of line `index` of the grid: the element the line was taken from.
  static void* Binder(const XRowGrider& grid, int index) {
    const void* line = grid.GetNextLine(nullptr);
    for (int i = 0; i < index && line != nullptr; ++i) line = grid.GetNextLine(line);
    return line == nullptr ? nullptr : reinterpret_cast<void*>(grid.GetLineBinder(line));
  }

  const std::string base_url_;
  std::string error_;
  XHttpBuffer catalogue_;
  XHttpBuffer order_answer_;
  XRowGrider books_;
  XRowGrider orders_;
  XMemoArchive stored_template_;
};

}  // namespace

int RunDemo(const std::vector<std::string>& args) {
  CommandLine line;
  int status = kExitOk;
  if (!StartCommand("demo", kOptions, Help, args, &line, &status)) return status;
  std::string error;
  if (!line.operands().empty()) return UsageError("demo", "takes no arguments");
  DemoServer server(DemoAnswers());
  if (!server.Start(&error)) return Fail("demo", error);
  Demo demo(server.BaseUrl());
  const bool done = demo.Run(line.Get("save"));
  std::fflush(stdout);
  return done ? kExitOk : Fail("demo", demo.error());
}

}  // namespace tabrow::cli
