#include "BookmarkText.h"
#include "LaunchFixture.h"
#include "LinePrinter.h"
#include "PageOutput.h"

#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Printing the output lines into a PDF file, read back with pdftotext.
class TestPrint : public QObject
{
    Q_OBJECT
private slots:
    void rangePrintsOneLinePerBookmark();
    void unwritablePdfIsSaid();
};

void TestPrint::rangePrintsOneLinePerBookmark()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("needs pdftotext (poppler-utils; the test command installs it)");
    LaunchFixture f;
    QByteArray many;
    for (int n = 1; n <= 80; ++n)
        many += BookmarkText::mark(n, "Site" + QByteArray::number(n));
    f.writeFile("Disk.LYK",
                BookmarkText::file({"News", "More"}, {{"News", many}, {"More", BookmarkText::mark(1, "Last")}}));
    f.start();
    const TIniFile32 ini(f.store, f.files.BookmarkFileName());
    const QStringList lines =
        PageOutput::Lines(ini, f.state.tabs(), {0, 1, true, 111, 111, 80}, PageOutput::Mode::Print);
    QCOMPARE(lines.size(), 83);

    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("out.pdf")));
    QString error;
    QVERIFY2(LinePrinter::print(printer, lines, QFont(QStringLiteral("DejaVu Sans"), 10), Qt::black, &error),
             qPrintable(error));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), printer.outputFileName(), QStringLiteral("-")});
    QVERIFY(text.waitForFinished(20000));
    const QString got = QString::fromUtf8(text.readAllStandardOutput());
    QStringList printed;
    for (const QString& line : got.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            printed << line.simplified();
    QStringList expected;
    for (const QString& line : lines)
        expected << line.simplified();
    QCOMPARE(printed, expected);
    // More than one page of paper: the list went on onto the next.
    QVERIFY(got.count(QLatin1Char('\f')) >= 2);
}

void TestPrint::unwritablePdfIsSaid()
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent-folder/out.pdf"));
    QString error;
    QVERIFY(!LinePrinter::print(printer, {QStringLiteral("a")}, QFont(), Qt::black, &error));
    QCOMPARE(error, QStringLiteral("\"/nonexistent-folder/out.pdf\" could not be written"));
}

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
