// XmlDocument on a configuration-like document of about 1 MB: parsing beside QXmlStreamReader reading
// the same text, loading beside pugixml loading the same file bytes, and writing (building it element by
// element, and saving it as UTF-8).
#include "BenchRatio.h"
#include "platform/XmlDocument.h"

#include <QString>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <benchmark/benchmark.h>

#ifdef KV_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

namespace {

// Builds the document the way the configuration writers do: sections under one root, each with plain
// values, a table of numbered items and per-port blocks, one element per line.
void buildConfiguration(XmlDocument &doc)
{
    doc.ParseText(u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                  u"<!-- Subject     : Configuration File -->\r\n");
    doc.AddElement(u"Config");
    doc.EnterElement();
    doc.AddElement(u"DUT_Name", u"Switch <lab 3> & spare");
    doc.AddElement(u"Tester_Name", u"Tester");
    for (int section = 1; doc.GetDocText().size() < 1'000'000; ++section) {
        doc.AddElement(QStringLiteral("Section%1").arg(section));
        doc.EnterElement();
        doc.AddElementInt(u"isSelected", section & 1);
        for (const char16_t *name :
             {u"TestDuration", u"NumberOfTrails", u"DelayAfterStart", u"FrameStartFrom"})
            doc.AddElementInt(name, section * 7);
        doc.AddElementInt(u"CustomRecordNumber", 8);
        for (int item = 1; item <= 8; ++item) {
            doc.AddElement(QStringLiteral("Item%1").arg(item));
            doc.EnterElement();
            doc.AddElementInt(u"CustomFrameSize", 64 << (item % 5));
            doc.AddElement(u"CustomInitialRate", u"100.00");
            doc.AddElement(u"CustomMinRate", u"0.10");
            doc.AddElement(u"CustomMaxRate", u"100.00");
            doc.LeaveElement();
        }
        for (int port = 1; port <= 16; ++port) {
            doc.AddElement(QStringLiteral("AvailablePortSettings%1").arg(port));
            doc.EnterElement();
            doc.AddElement(u"ModuleName",
                           QStringLiteral("(  1, %1,%2) - QM-M08").arg(port / 4 + 1).arg(port % 4 + 1));
            doc.AddElementInt(u"VLanState", port & 1);
            doc.AddElementInt(u"VLanID", 100 + port);
            doc.AddElementInt(u"IPAddress", 16885952 + port);
            doc.AddElementInt(u"Mask", 16777215);
            doc.LeaveElement();
        }
        doc.AddElement(u"HostPort1");
        doc.SetAttributeAt(doc.GetCurrentPos(), u"HostPort", u"(  1, 2,3) - QM-M08");
        doc.LeaveElement();
    }
}

const std::u16string &configurationText()
{
    static const std::u16string text = [] {
        XmlDocument doc;
        buildConfiguration(doc);
        return doc.GetDocText();
    }();
    return text;
}

// The configuration file's content as WriteTextFile saves it: UTF-8.
const std::string &configurationBytes()
{
    static const std::string bytes = [] {
        const std::u16string &text = configurationText();
        std::string utf8(XmlDocument::EncodeUtf8(text, nullptr), '\0');
        XmlDocument::EncodeUtf8(text, utf8.data());
        return utf8;
    }();
    return bytes;
}

void BM_XmlDocumentParse(benchmark::State &state)
{
    const std::u16string &text = configurationText();
    XmlDocument doc;
    for (auto _ : state) {
        if (!doc.ParseText(text))
            state.SkipWithError("not well formed");
        benchmark::DoNotOptimize(doc.GetElemTable().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * sizeof(char16_t)));
}
BENCHMARK(BM_XmlDocumentParse)->Unit(benchmark::kMillisecond);

void BM_QXmlStreamReaderRead(benchmark::State &state)
{
    const QString text = QString::fromStdU16String(configurationText());
    for (auto _ : state) {
        QXmlStreamReader reader(text);
        while (!reader.atEnd())
            reader.readNext();
        if (reader.hasError())
            state.SkipWithError("not well formed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size() * sizeof(char16_t)));
}
BENCHMARK(BM_QXmlStreamReaderRead)->Unit(benchmark::kMillisecond);

// Loading as the program opens a configuration file, from the file's bytes already in memory to a
// document that can be navigated, with a new document object each time as the program uses one: the
// bytes decoded to the document text as ReadTextFile does after reading them, then parsed. Compared with
// pugixml loading the same bytes with its default options into a new document.
void BM_XmlDocumentLoad(benchmark::State &state)
{
    const std::string &bytes = configurationBytes();
    for (auto _ : state) {
        const QString text = XmlDocument::DecodeUtf8(bytes);
        XmlDocument doc;
        if (!doc.ParseText(text))
            state.SkipWithError("not well formed");
        benchmark::DoNotOptimize(doc.GetElemTable().data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_XmlDocumentLoad)->Unit(benchmark::kMillisecond);

#ifdef KV_HAVE_PUGIXML
void BM_PugixmlLoad(benchmark::State &state)
{
    const std::string &bytes = configurationBytes();
    for (auto _ : state) {
        pugi::xml_document doc;
        if (!doc.load_buffer(bytes.data(), bytes.size()))
            state.SkipWithError("not well formed");
        benchmark::DoNotOptimize(doc.first_child().internal_object());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_PugixmlLoad)->Unit(benchmark::kMillisecond);
#endif

void BM_XmlDocumentBuild(benchmark::State &state)
{
    for (auto _ : state) {
        XmlDocument doc;
        buildConfiguration(doc);
        benchmark::DoNotOptimize(doc.GetDocText().data());
    }
}
BENCHMARK(BM_XmlDocumentBuild)->Unit(benchmark::kMillisecond);

void BM_XmlDocumentWriteFile(benchmark::State &state)
{
    const std::u16string &text = configurationText();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.xml"));
    QString result;
    for (auto _ : state) {
        if (!XmlDocument::WriteTextFile(path, text, result))
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_XmlDocumentWriteFile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return BenchRatio::runAndPrint(argc, argv,
                                   {{"XmlDocument parse, 1 MB", "QXmlStreamReader", "BM_XmlDocumentParse",
                                     "BM_QXmlStreamReaderRead", 0.2},
                                    {"XmlDocument load (UTF-8 decode + parse), 1 MB", "pugixml",
                                     "BM_XmlDocumentLoad", "BM_PugixmlLoad", 1.5}});
}
