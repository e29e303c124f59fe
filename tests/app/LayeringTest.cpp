// The folders depend one way: nothing below the application includes it, the controls know nothing
// of the program's pages, the platform layer only itself and the simulator only the hardware library.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// "file: include" for every quoted include of the folder's sources that is not allowed.
QStringList forbiddenIncludes(const QString &folder, const QStringList &allowedPrefixes,
                              const QStringList &forbiddenPrefixes)
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+)\""),
                                            QRegularExpression::MultilineOption);
    QStringList found;
    QDirIterator it(QStringLiteral(KV_SOURCE_DIR "/") + folder, {"*.h", "*.cpp"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (auto match = include.globalMatch(text); match.hasNext();) {
            const QString name = match.next().captured(1);
            if (!name.contains(u'/'))
                continue; // a header beside the source
            const auto startsWithAny = [&](const QStringList &prefixes) {
                return std::any_of(prefixes.begin(), prefixes.end(),
                                   [&](const QString &prefix) { return name.startsWith(prefix); });
            };
            if ((!allowedPrefixes.isEmpty() && !startsWithAny(allowedPrefixes)) ||
                startsWithAny(forbiddenPrefixes))
                found << file.fileName().mid(int(qstrlen(KV_SOURCE_DIR)) + 1) + ": " + name;
        }
    }
    return found;
}

} // namespace

TEST(Layering, FoldersIncludeOnlyTheLayersBelowThem)
{
    struct Case
    {
        const char *folder;
        QStringList allowed; // empty: any folder not forbidden
        QStringList forbidden;
    };
    const Case cases[] = {
        {"engine", {"engine/", "platform/"}, {}},
        {"controls/widgets", {"controls/widgets/", "platform/"}, {}},
        {"controls/grid", {"controls/grid/", "engine/", "platform/"}, {}},
        {"ports", {}, {"testpages/", "reports/", "run/", "app/"}},
        {"testpages", {}, {"reports/", "run/", "app/"}},
        {"reports", {}, {"run/", "app/"}},
        {"run", {}, {"controls/", "ports/", "testpages/", "app/"}},
        {"platform", {"platform/"}, {}},
        {"kvserver", {"kvserver/", "platform/kvapi/"}, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(forbiddenIncludes(QString::fromLatin1(c.folder), c.allowed, c.forbidden), QStringList())
            << c.folder;
}

// The engine is below every window: no Qt Widgets header, and no other include from the Qt Widgets module.
TEST(Layering, EngineIncludesNoWidgetHeader)
{
    static const QRegularExpression widgetInclude(
        QStringLiteral(
            "^\\s*#\\s*include\\s+<(QtWidgets/.*|Q(Widget|Dialog|Label|MainWindow|Application|MessageBox|"
            "AbstractScrollArea|PushButton|LineEdit|Menu|ToolBar|StatusBar|TableWidget|ComboBox)(>|\\.h>))"),
        QRegularExpression::MultilineOption);
    QStringList found;
    QDirIterator it(QStringLiteral(KV_SOURCE_DIR "/engine"), {"*.h", "*.cpp"}, QDir::Files);
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        const QString text = QString::fromUtf8(file.readAll());
        for (auto match = widgetInclude.globalMatch(text); match.hasNext();)
            found << file.fileName().mid(int(qstrlen(KV_SOURCE_DIR)) + 1) + ": " + match.next().captured(1);
    }
    EXPECT_EQ(found, QStringList());
}
