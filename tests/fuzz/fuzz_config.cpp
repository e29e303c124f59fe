// Feeds configuration files to the whole load above the XML parser: the main view's open of a file,
// with its reserved ports, the port pairs, the six pair pages and the Source Filter page. The document
// is built from the input over the reference configuration: each input line replaces the text of the
// next element that holds a value ("=" keeps it, "-" drops the element, "+text" repeats the element
// with that text), so every reader meets values of every kind. An input that starts with '<' is the
// whole document.
#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "app/StartupServices.h"
#include "engine/EngineUtils.h"
#include "engine/Session.h"
#include "platform/ScriptedPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace {

class FolderServices : public StartupServices
{
public:
    explicit FolderServices(QString folder) : m_folder(std::move(folder)) {}
    QString appDirectory() override { return m_folder; }

private:
    QString m_folder;
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

// Everything the load needs, made once: the application, a program folder with the English texts, four
// reserved ports on card 2 and the main window, whose reservation dialog answers "reserved".
struct Program
{
    explicit Program(const QTemporaryDir &folder) : folder(folder)
    {
        QDir(folder.path()).mkdir(QStringLiteral("Language"));
        QFile::copy(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangEng.lng"),
                    folder.filePath(QStringLiteral("Language/LangEng.lng")));
        QFile settings(folder.filePath(QStringLiteral("Setting.ini")));
        if (!settings.open(QIODevice::WriteOnly) ||
            settings.write("[Language]\nSelLangFile=LangEng.lng\n") <= 0)
            std::abort();
        settings.close();
        app = std::make_unique<CKvIGMPTQApp>(std::make_unique<FolderServices>(folder.path() + u'/'));
        g_LangMag.SetLangFile(folder.filePath(QStringLiteral("Language/LangEng.lng")));
        g_Session.PortCount = 4;
        g_Session.allocatePortArrays(4);
        for (std::uint8_t port = 1; port <= 4; ++port) {
            const UtPortId id{1, 2, port};
            g_Session.PortTable[port - 1] = {id, 53, 0};
            g_Session.PortIndex[1][2][port] = std::int16_t(port - 1);
            g_Session.LockedFlags[port - 1] = 1;
            g_Session.Ports.push_back(MakePortRecord(id, 53, 11));
        }
        g_Session.LockCount = 4;
        g_Session.BoardCount = 1;
        frame = std::make_unique<CMainFrame>(folder.path() + u'/');
        frame->View()->SetReservationRunner([](CBoardInfo &) { return 1; });
        reference = readFile(QStringLiteral(KV_FIXTURE_DIR "/configuration.xml")).split('\n');
    }

    const QTemporaryDir &folder;
    std::unique_ptr<CKvIGMPTQApp> app;
    std::unique_ptr<CMainFrame> frame;
    ScriptedPrompter prompter;
    QList<QByteArray> reference; // lines of the reference configuration
};

QApplication &application()
{
    static int argc = 1;
    static char name[] = "fuzz_config";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Made once and kept to the end: Qt's caches stay reachable rather than freed in an order of exit.
    static QApplication *instance = new QApplication(argc, argv);
    return *instance;
}

QByteArray escaped(const QByteArray &text)
{
    return QString::fromUtf8(text).toHtmlEscaped().toUtf8();
}

// The reference document with the input's values in place of its own.
QByteArray documentFrom(const QList<QByteArray> &reference, const QByteArray &input)
{
    if (input.startsWith('<'))
        return input;
    static const QRegularExpression valueElement(QStringLiteral("^<([A-Za-z_][\\w.-]*)(?:/>|>[^<]*</\\1>)$"));
    const QList<QByteArray> values = input.isEmpty() ? QList<QByteArray>() : input.split('\n');
    QByteArray document;
    qsizetype next = 0;
    for (const QByteArray &line : reference) {
        const QRegularExpressionMatch match = valueElement.match(QString::fromUtf8(line));
        if (!match.hasMatch() || next >= values.size()) {
            document += line + '\n';
            continue;
        }
        const QByteArray name = match.captured(1).toUtf8();
        const QByteArray &value = values[next++];
        if (value == "=") {
            document += line + '\n';
        } else if (value.startsWith('+')) {
            document += line + '\n';
            document += '<' + name + '>' + escaped(value.mid(1)) + "</" + name + ">\n";
        } else if (value != "-") {
            document += '<' + name + '>' + escaped(value) + "</" + name + ">\n";
        }
    }
    return document;
}

} // namespace

// The system libraries under Qt keep some allocations until exit (as tests/common/lsan.supp lists).
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig\nleak:libdbus\nleak:libglib\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    application();
    static QTemporaryDir folder;
    static Program &program = *new Program(folder);
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString path = program.folder.filePath(QStringLiteral("fuzz.xml"));
    {
        const QByteArray document = documentFrom(program.reference, input);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(document) != document.size())
            std::abort();
    }
    program.prompter.queueAnswer(IDYES); // "load this configuration?"
    program.frame->View()->LoadConfigurationFrom(path);
    return 0;
}
