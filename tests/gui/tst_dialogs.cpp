#include "BookmarkDialog.h"
#include "BookmarkDialogWidget.h"
#include "BookmarkEditor.h"
#include "IconLibrary.h"
#include "LaunchFixture.h"
#include "MailDialog.h"
#include "MailDialogWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

namespace {

// Keys as the window delivers them: to whatever has the focus.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void type(const QString& text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
}

// A click on a check box's box, where a click ticks it.
void tick(QCheckBox* box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

} // namespace

// The dialogs on the screen, driven by keys and clicks as a user drives them.
class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void sendToBoxTakesInsertAndDelete();
    void includeAllTakesTheTypedRecipient();
    void launchAsBoxesKeepTheDialogOpen_data();
    void launchAsBoxesKeepTheDialogOpen();
};

namespace {

struct MailWindow
{
    LaunchFixture f;
    std::unique_ptr<MailDialog> model;
    std::unique_ptr<MailDialogWidget> window;
    QComboBox* to = nullptr;

    MailWindow()
    {
        f.writeFile("lyk.use", "[User]\r\nEmail=me@example.org\r\nMailS=127.0.0.1:2525\r\n[Address]\r\nCount=2\r\n"
                               "1=b@example.org\r\n2=a@example.org\r\n");
        f.start();
        model = std::make_unique<MailDialog>(*f.board, f.mail);
        model->scope = "One";
        model->FormShow();
        model->FormActivate();
        window = std::make_unique<MailDialogWidget>(*model);
        window->show();
        to = window->findChild<QComboBox*>(QStringLiteral("Edit1"));
    }
    QStringList listed() const
    {
        QStringList out;
        for (int i = 0; i < to->count(); ++i)
            out << to->itemText(i);
        return out;
    }
    QByteArray use(const QByteArray& key) { return f.key("lyk.use", "Address", key); }
};

} // namespace

void TestDialogs::sendToBoxTakesInsertAndDelete()
{
    MailWindow m;
    QVERIFY(QTest::qWaitForWindowActive(m.window.get()));
    QTRY_VERIFY(m.to->hasFocus());
    QCOMPARE(m.listed(), (QStringList{"a@example.org", "b@example.org"}));

    // Insert adds what is typed to the list, which is saved at once.
    type(QStringLiteral("new@example.org"));
    press(Qt::Key_Insert);
    QCOMPARE(m.listed(), (QStringList{"a@example.org", "b@example.org", "new@example.org"}));
    QCOMPARE(m.use("Count"), QByteArray("3"));
    QCOMPARE(m.use("3"), QByteArray("new@example.org"));
    QCOMPARE(m.f.ui.beeps, 1);

    // Delete on a listed address removes it from the list and the file.
    press(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("a@example.org"));
    press(Qt::Key_Delete);
    QCOMPARE(m.listed(), (QStringList{"b@example.org", "new@example.org"}));
    QCOMPARE(m.use("Count"), QByteArray("2"));
    QCOMPARE(m.use("1"), QByteArray("b@example.org"));
    QCOMPARE(m.use("3"), QByteArray());
    QCOMPARE(m.f.ui.beeps, 2);
    QCOMPARE(m.to->currentText(), QString());

    // In a text that is no listed address, Delete deletes a character.
    type(QStringLiteral("xyz"));
    press(Qt::Key_Home);
    press(Qt::Key_Delete);
    QCOMPARE(m.to->currentText(), QStringLiteral("yz"));
    QCOMPARE(m.listed().size(), 2);
    QCOMPARE(m.f.ui.beeps, 2);
}

void TestDialogs::includeAllTakesTheTypedRecipient()
{
    MailWindow m;
    QVERIFY(QTest::qWaitForWindowActive(m.window.get()));
    QTRY_VERIFY(m.to->hasFocus());
    type(QStringLiteral("new@example.org"));
    tick(m.window->findChild<QCheckBox*>(QStringLiteral("CBox2")));
    QTest::mouseClick(m.window->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    QTRY_VERIFY(!m.model->sending());
    QStringList to;
    for (const SmtpJob& job : std::as_const(m.f.mail.jobs))
        to << QString::fromLatin1(job.recipient);
    QCOMPARE(to, (QStringList{"a@example.org", "b@example.org", "new@example.org"}));
    QCOMPARE(m.use("Count"), QByteArray("3"));
    QCOMPARE(m.use("3"), QByteArray("new@example.org"));
    QCOMPARE(m.f.ui.messages().last(), QStringLiteral("The e-mail was sent to 3 addresses."));
}

void TestDialogs::launchAsBoxesKeepTheDialogOpen_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("ends");
    QTest::addColumn<QByteArray>("launchAs"); // "-" for no key
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QString>("said");
    const QByteArray web = "01U=http://box.example/\r\n01A=10.0.0.1\r\n";
    QTest::newRow("IP Address, saved") << web << "IPBox"
                                       << "SaveBtn" << QByteArray("IP") << QByteArray("Typed") << QString();
    QTest::newRow("URL Link, saved") << web + "01L=IP\r\n"
                                     << "URLBox"
                                     << "SaveBtn" << QByteArray("") << QByteArray("Typed") << QString();
    QTest::newRow("Local File, saved") << web << "LocalBox"
                                       << "SaveBtn" << QByteArray("Yes") << QByteArray("Typed") << QString();
    QTest::newRow("Local File back to a link") << web + "01L=Yes\r\n"
                                               << "URLBox"
                                               << "SaveBtn" << QByteArray("-") << QByteArray("Typed") << QString();
    QTest::newRow("a box, then Cancel") << web << "IPBox"
                                        << "CancelBtn" << QByteArray("-") << QByteArray("Box") << QString();
    QTest::newRow("IP Address without one")
        << QByteArray("01U=http://box.example/\r\n") << "IPBox"
        << "CancelBtn" << QByteArray("-") << QByteArray("Box")
        << "There is no IP address to launch this bookmark by: type its IP address, or choose another way to "
           "launch it.";
}

void TestDialogs::launchAsBoxesKeepTheDialogOpen()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, box);
    QFETCH(QString, ends);
    QFETCH(QByteArray, launchAs);
    QFETCH(QByteArray, title);
    QFETCH(QString, said);
    LaunchFixture f;
    f.writeFile("Disk.LYK", "[Tabs]\r\nCount=1\r\nTab1=News\r\n[News]\r\n01N=Box\r\n" + stored);
    f.writeFile("lyk.ini", "[WebIcon]\r\nSearch=Off\r\n[Auto]\r\nBackup=Off\r\n");
    f.start();
    IconLibrary icons;
    bool stayedOpen = false;
    f.ui.bookmarkDialogs.push_back([&](BookmarkDialog& d) {
        BookmarkDialogWidget w(d, icons);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* edit = w.findChild<QLineEdit*>(QStringLiteral("Desc1"));
        edit->setFocus();
        press(Qt::Key_A, Qt::ControlModifier);
        type(QStringLiteral("Typed"));
        auto* launch = w.findChild<QCheckBox*>(box);
        tick(launch);
        // The box is ticked, the others not, and what was typed is still there.
        stayedOpen = w.isVisible();
        QVERIFY(launch->isChecked());
        for (QCheckBox* other : w.findChildren<QCheckBox*>())
            if (other->parent() == launch->parent() && other != launch)
                QVERIFY2(!other->isChecked(), qPrintable(other->objectName()));
        QCOMPARE(edit->text(), QStringLiteral("Typed"));
        if (!said.isEmpty()) {
            QTest::mouseClick(w.findChild<QPushButton*>(QStringLiteral("SaveBtn")), Qt::LeftButton);
            QVERIFY(w.isVisible());
            QCOMPARE(f.ui.messages(), QStringList{said});
        }
        QTest::mouseClick(w.findChild<QPushButton*>(ends), Qt::LeftButton);
        QVERIFY(!w.isVisible());
    });
    f.board->command([&] { f.board->editor().BitBtn1MouseDown("B01", BookmarkEditor::MouseButton::Right); });
    QVERIFY(f.ui.bookmarkDialogs.empty());
    QVERIFY(stayedOpen);
    const QByteArray file = f.readFile("Disk.LYK");
    if (launchAs == "-")
        QVERIFY2(!file.contains("01L="), file.constData());
    else
        QVERIFY2(file.contains("01L=" + launchAs + "\r\n"), file.constData());
    QCOMPARE(f.key("Disk.LYK", "News", "01N"), title);
    QCOMPARE(f.key("Disk.LYK", "News", "01U"), QByteArray("http://box.example/"));
    if (said.isEmpty())
        QCOMPARE(f.ui.messages(), QStringList());
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
