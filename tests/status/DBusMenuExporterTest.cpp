#include "status/StatusBusFixture.h"
#include "status_item/sni/DBusMenuEntry.h"
#include "status_item/sni/DBusMenuExporter.h"
#include "support/QStringPrinter.h"

#include <QAction>
#include <QDBusArgument>
#include <QMenu>

namespace {

const QString menuPath = QStringLiteral("/MenuBar");
const QString menuInterface = QStringLiteral("com.canonical.dbusmenu");

// The shell's menu in small: what it holds is built afresh on every request.
struct MenuSource {
    bool supportAvailable = false;
    int built = 0;
    QStringList triggered;

    MenuFactory factory() {
        return [this] {
            ++built;
            auto menu = std::make_unique<QMenu>();
            const auto add = [&](QMenu& to, const QString& text, const QKeySequence& keys = {}) {
                QAction* action = to.addAction(text);
                action->setShortcut(keys);
                QObject::connect(action, &QAction::triggered,
                                 [this, text] { triggered.append(text); });
                return action;
            };
            add(*menu, QStringLiteral("Open &Compact View"));
            add(*menu, QStringLiteral("Open Dashboard"), QKeySequence(Qt::CTRL | Qt::Key_D));
            add(*menu, QStringLiteral("Settings"), QKeySequence(Qt::CTRL | Qt::Key_Comma));
            add(*menu, QStringLiteral("Support"))->setEnabled(supportAvailable);
            QMenu* more = menu->addMenu(QStringLiteral("More"));
            add(*more, QStringLiteral("Read_me && notes"));
            menu->addSeparator();
            add(*menu, QStringLiteral("Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
            return menu;
        };
    }
};

struct Row {
    QString type;
    QString label;
    bool enabled;
    DBusMenuShortcut shortcut;
    int children;
};

Row rowOf(const DBusMenuLayoutItem& item) {
    const QVariantMap& p = item.properties;
    return {p.value(QStringLiteral("type")).toString(), p.value(QStringLiteral("label")).toString(),
            p.value(QStringLiteral("enabled"), true).toBool(),
            qdbus_cast<DBusMenuShortcut>(p.value(QStringLiteral("shortcut"))),
            int(item.children.size())};
}

class DBusMenuExporterTest : public StatusBusTest {
protected:
    void SetUp() override {
        StatusBusTest::SetUp();
        const QDBusConnection bus = newConnection();
        service_ = bus.baseService();
        exporter_ = std::make_unique<DBusMenuExporter>(bus, menuPath, source_.factory());
        ASSERT_TRUE(exporter_->isExported());
    }

    QDBusMessage menuCall(const char* method, const QVariantList& arguments) {
        return call(service_, menuPath, menuInterface, QString::fromLatin1(method), arguments);
    }

    DBusMenuLayoutItem layout(int parent, int depth) {
        const QDBusMessage reply = menuCall("GetLayout", {parent, depth, QStringList()});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().size() == 2 ? qdbus_cast<DBusMenuLayoutItem>(reply.arguments()[1])
                                             : DBusMenuLayoutItem{};
    }

    int idOf(const QString& label) {
        for (const DBusMenuLayoutItem& item : layout(0, 1).children) {
            if (item.properties.value(QStringLiteral("label")) == label) {
                return item.id;
            }
        }
        ADD_FAILURE() << "no entry " << label.toStdString();
        return -1;
    }

    MenuSource source_;
    QString service_;
    std::unique_ptr<DBusMenuExporter> exporter_;
};

// GTK hosts (libdbusmenu-gtk) read a shortcut as an array of string arrays: modifier names, then
// a GDK key name, a letter in lower case. A name they do not know leaves the entry without one.
TEST(DBusMenuShortcutTest, KeysAreNamedAsGtkHostsReadThem) {
    const auto keys = [](QStringList chord) { return DBusMenuShortcut{std::move(chord)}; };
    const struct {
        QKeySequence sequence;
        DBusMenuShortcut expected;
    } cases[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_D), keys({"Control", "d"})},
        {QKeySequence(Qt::CTRL | Qt::Key_Comma), keys({"Control", "comma"})},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete), keys({"Control", "Shift", "Delete"})},
        {QKeySequence(Qt::ALT | Qt::Key_F4), keys({"Alt", "F4"})},
        {QKeySequence(Qt::META | Qt::Key_PageUp), keys({"Super", "Page_Up"})},
        {QKeySequence(Qt::CTRL | Qt::Key_Escape), keys({"Control", "Escape"})},
        {QKeySequence(Qt::CTRL | Qt::Key_Backspace), keys({"Control", "BackSpace"})},
        {QKeySequence(Qt::CTRL | Qt::Key_5), keys({"Control", "5"})},
        {QKeySequence(Qt::CTRL | Qt::Key_BracketLeft), keys({"Control", "bracketleft"})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dbusMenuShortcut(c.sequence), c.expected) << c.sequence.toString().toStdString();
    }
}

TEST_F(DBusMenuExporterTest, AShortcutTravelsAsAnArrayOfStringArrays) {
    layout(0, -1);
    const QDBusMessage reply = menuCall(
        "GetProperty", {idOf(QStringLiteral("Open Dashboard")), QStringLiteral("shortcut")});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    const QVariant value = reply.arguments().value(0).value<QDBusVariant>().variant();
    EXPECT_EQ(value.value<QDBusArgument>().currentSignature(), QStringLiteral("aas"));
}

TEST_F(DBusMenuExporterTest, LayoutHoldsTheMenuEntries) {
    const DBusMenuLayoutItem root = layout(0, -1);
    const auto control = [](const char* key) {
        return DBusMenuShortcut{{QStringLiteral("Control"), QString::fromLatin1(key)}};
    };
    const std::vector<Row> expected{
        {{}, QStringLiteral("Open _Compact View"), true, {}, 0},
        {{}, QStringLiteral("Open Dashboard"), true, control("d"), 0},
        {{}, QStringLiteral("Settings"), true, control("comma"), 0},
        {{}, QStringLiteral("Support"), false, {}, 0},
        {{}, QStringLiteral("More"), true, {}, 1},
        {QStringLiteral("separator"), {}, true, {}, 0},
        {{}, QStringLiteral("Quit"), true, control("q"), 0},
    };
    ASSERT_EQ(root.children.size(), qsizetype(expected.size()));
    QSet<int> ids{root.id};
    for (size_t i = 0; i < expected.size(); ++i) {
        const Row row = rowOf(root.children[qsizetype(i)]);
        EXPECT_EQ(row.type, expected[i].type) << i;
        EXPECT_EQ(row.label, expected[i].label) << i;
        EXPECT_EQ(row.enabled, expected[i].enabled) << i;
        EXPECT_EQ(row.shortcut, expected[i].shortcut) << i;
        EXPECT_EQ(row.children, expected[i].children) << i;
        ids.insert(root.children[qsizetype(i)].id);
    }
    const DBusMenuLayoutItem more = root.children[4];
    EXPECT_EQ(more.properties.value(QStringLiteral("children-display")), QStringLiteral("submenu"));
    EXPECT_EQ(rowOf(more.children[0]).label, QStringLiteral("Read__me & notes"));
    ids.insert(more.children[0].id);
    EXPECT_EQ(ids.size(), 9);  // every entry has its own number

    EXPECT_TRUE(layout(0, 0).children.isEmpty());
    EXPECT_EQ(layout(more.id, -1).children.size(), 1);
    EXPECT_EQ(menuCall("GetLayout", {999, -1, QStringList()}).type(), QDBusMessage::ErrorMessage);
}

// For a host that logs GTK criticals for every shortcut, the entries go without them.
TEST_F(DBusMenuExporterTest, EntriesCanGoWithoutTheirShortcuts) {
    exporter_->setShortcutsShown(false);
    const DBusMenuLayoutItem root = layout(0, -1);
    ASSERT_EQ(root.children.size(), 7);
    for (const DBusMenuLayoutItem& entry : root.children) {
        EXPECT_FALSE(entry.properties.contains(QStringLiteral("shortcut")))
            << entry.properties.value(QStringLiteral("label")).toString().toStdString();
    }
    EXPECT_EQ(rowOf(root.children[6]).label, QStringLiteral("Quit"));
}

TEST_F(DBusMenuExporterTest, ClickedRunsOnlyAnEnabledEntrysAction) {
    const std::vector<std::tuple<const char*, QString, QString, QStringList>> cases{
        {"Event", QStringLiteral("Quit"), QStringLiteral("clicked"), {QStringLiteral("Quit")}},
        {"Event", QStringLiteral("Quit"), QStringLiteral("hovered"), {}},
        {"Event", QStringLiteral("Support"), QStringLiteral("clicked"), {}},
        {"EventGroup",
         QStringLiteral("Settings"),
         QStringLiteral("clicked"),
         {QStringLiteral("Settings")}},
    };
    const int sentinel = idOf(QStringLiteral("Open Dashboard"));
    const QDBusVariant noData(QString{});
    for (const auto& [method, label, event, expected] : cases) {
        source_.triggered.clear();
        const int id = idOf(label);
        const QVariantList arguments =
            QLatin1StringView(method) == QLatin1StringView("Event")
                ? QVariantList{id, event, QVariant::fromValue(noData), 0u}
                : QVariantList{QVariant::fromValue(DBusMenuEventList{{id, event, noData, 0u}})};
        const QDBusMessage reply = menuCall(method, arguments);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        // A click on another entry after it shows that this one's turn has passed.
        menuCall("Event", {sentinel, QStringLiteral("clicked"), QVariant::fromValue(noData), 0u});
        ASSERT_TRUE(eventually(
            [&] { return source_.triggered.contains(QStringLiteral("Open Dashboard")); }));
        source_.triggered.removeAll(QStringLiteral("Open Dashboard"));
        EXPECT_EQ(source_.triggered, expected)
            << method << " " << label.toStdString() << " " << event.toStdString();
    }
    EXPECT_EQ(menuCall("Event",
                       {999, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u})
                  .type(),
              QDBusMessage::ErrorMessage);
}

TEST_F(DBusMenuExporterTest, AboutToShowBuildsTheMenuAfresh) {
    BusSignalLog log;
    listen(menuPath, menuInterface, QStringLiteral("LayoutUpdated"), log);
    const int support = idOf(QStringLiteral("Support"));
    const int builtBefore = source_.built;

    QDBusMessage reply = menuCall("AboutToShow", {0});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
    EXPECT_FALSE(reply.arguments().value(0).toBool());  // nothing changed
    EXPECT_EQ(source_.built, builtBefore + 1);

    source_.supportAvailable = true;
    reply = menuCall("AboutToShow", {0});
    EXPECT_TRUE(reply.arguments().value(0).toBool());
    ASSERT_TRUE(eventually([&] { return !log.named(QStringLiteral("LayoutUpdated")).isEmpty(); }));
    reply = menuCall("GetProperty", {support, QStringLiteral("enabled")});
    EXPECT_TRUE(reply.arguments().value(0).value<QDBusVariant>().variant().toBool());

    // A click goes to the entry of the menu built last.
    menuCall("Event",
             {support, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
    EXPECT_TRUE(
        eventually([&] { return source_.triggered == QStringList{QStringLiteral("Support")}; }));
}

}  // namespace
