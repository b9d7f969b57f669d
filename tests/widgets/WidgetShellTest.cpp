// The control image file format and the placement of the dialog shells.

#include "DialogSetup.h"
#include "IconDocument.h"
#include "ImageListFile.h"
#include "TindraAboutForm.h"
#include "TindraAngleForm.h"
#include "TindraIframeForm.h"
#include "TindraInfoForm.h"
#include "TindraLangForm.h"
#include "TindraMFrameForm.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using tindra::TImageListFile;
using tindra::TImageListItem;

namespace {

// Two small lists with distinct pixels, alpha included.
std::vector<TImageListItem> SampleItems() {
    TImageListItem a{"First", 3, 2, {}};
    a.Pictures.push_back({0xFF112233, 0x00000000, 0x80FFFFFF, 0xFF000001, 0x01020304, 0xFFFF00FF});
    a.Pictures.push_back(std::vector<uint32_t>(6, 0xFFCCCCCC));
    TImageListItem b{"Language buttons", 1, 1, {{0x7F123456}}};
    return {a, b};
}

void PutU16(std::vector<uint8_t>& data, size_t at, uint16_t v) {
    data[at] = static_cast<uint8_t>(v);
    data[at + 1] = static_cast<uint8_t>(v >> 8);
}

// Recomputes the trailing checksum so that only the edited field is wrong.
void Reseal(std::vector<uint8_t>& data) {
    const uint32_t crc = TImageListFile::Crc32(data.data(), data.size() - 4);
    for (int i = 0; i < 4; ++i)
        data[data.size() - 4 + i] = static_cast<uint8_t>(crc >> (8 * i));
}

} // namespace

class TWidgetShellTest : public QObject {
    Q_OBJECT
  private slots:
    void imageListRoundTrip() {
        const std::vector<TImageListItem> items = SampleItems();
        QTemporaryDir dir;
        const std::string path = dir.filePath("images.iml").toStdString();
        QVERIFY(TImageListFile::Save(path, items));
        std::vector<TImageListItem> loaded;
        std::string error;
        QVERIFY2(TImageListFile::Load(path, loaded, &error), error.c_str());
        QCOMPARE(loaded.size(), items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            QCOMPARE(loaded[i].Name, items[i].Name);
            QCOMPARE(loaded[i].Width, items[i].Width);
            QCOMPARE(loaded[i].Height, items[i].Height);
            QVERIFY(loaded[i].Pictures == items[i].Pictures);
        }
    }

    // Every cut of the file and every single changed byte must be refused as a whole.
    void imageListRejectsEveryTruncationAndFlip() {
        const std::vector<uint8_t> good = TImageListFile::Encode(SampleItems());
        std::vector<TImageListItem> items;
        for (size_t length = 0; length < good.size(); ++length) {
            const std::vector<uint8_t> cut(good.begin(), good.begin() + length);
            QVERIFY2(!TImageListFile::Decode(cut, items), qPrintable(QString("length %1").arg(length)));
            QVERIFY(items.empty());
        }
        for (size_t at = 0; at < good.size(); ++at) {
            std::vector<uint8_t> bad = good;
            bad[at] ^= 0x10;
            QVERIFY2(!TImageListFile::Decode(bad, items), qPrintable(QString("byte %1").arg(at)));
        }
        std::vector<uint8_t> longer = good;
        longer.insert(longer.end() - 4, 0);
        Reseal(longer);
        QVERIFY(!TImageListFile::Decode(longer, items));
    }

    // Sizes from the file are checked before anything is allocated for them.
    void imageListRejectsHugeSizesWithValidChecksum_data() {
        QTest::addColumn<int>("field"); // offset of the edited u16 after the first item's name
        QTest::addColumn<int>("value");
        QTest::newRow("width 0") << 0 << 0;
        QTest::newRow("width 60000") << 0 << 60000;
        QTest::newRow("height 60000") << 2 << 60000;
        QTest::newRow("65535 pictures") << 4 << 65535;
        QTest::newRow("pictures beyond the data") << 4 << 100;
    }
    void imageListRejectsHugeSizesWithValidChecksum() {
        QFETCH(int, field);
        QFETCH(int, value);
        std::vector<uint8_t> data = TImageListFile::Encode(SampleItems());
        const size_t sizes = 4 + 2 + 2 + 1 + std::string("First").size(); // magic, version, count, name
        PutU16(data, sizes + field, static_cast<uint16_t>(value));
        Reseal(data);
        std::vector<TImageListItem> items;
        std::string error;
        QVERIFY(!TImageListFile::Decode(data, items, &error));
        QVERIFY(!error.empty());
    }

    void imageListSaveRefusesBadPictures() {
        std::vector<TImageListItem> items = SampleItems();
        items[0].Pictures[1].pop_back();
        QTemporaryDir dir;
        std::string error;
        QVERIFY(!TImageListFile::Save(dir.filePath("x.iml").toStdString(), items, &error));
        QVERIFY(!error.empty());
    }

    void dialogShells_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("centred");
        QTest::newRow("about") << "TindraAboutForm" << QSize(253, 226) << true;
        QTest::newRow("language") << "TindraLangForm" << QSize(282, 188) << true;
        QTest::newRow("attributes") << "TindraInfoForm" << QSize(579, 464) << false;
        QTest::newRow("rotation") << "TindraAngleForm" << QSize(242, 216) << true;
        QTest::newRow("insert frame") << "TindraIframeForm" << QSize(273, 248) << true;
        QTest::newRow("move frame") << "TindraMFrameForm" << QSize(221, 128) << true;
    }
    void dialogShells() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(bool, centred);
        struct TNoQuestions : IDocumentAsker {
            TSaveChangesAnswer AskSaveChanges() override { return TSaveChangesAnswer::No; }
            std::string AskOpenFileName() override { return {}; }
            std::string AskSaveFileName(TFileKind, const std::string&) override { return {}; }
            bool ConfirmOverwrite(const std::string&) override { return false; }
        } asker;
        TIconDocument document; // the insert-frame dialog's preview and file question
        QWidget owner;
        new TTindraAboutForm(&owner);
        new TTindraLangForm(&owner);
        new TTindraInfoForm(&owner);
        new TTindraAngleForm(&owner);
        new TTindraIframeForm(document, asker, &owner);
        new TTindraMFrameForm(&owner);
        auto* dialog = owner.findChild<QDialog*>(name);
        QVERIFY(dialog);
        QCOMPARE(dialog->size(), size);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QPoint middle(screen.width() / 2 - size.width() / 2, screen.height() / 2 - size.height() / 2);
        QCOMPARE(dialog->pos() == middle, centred);
        QCOMPARE(dialog->windowTitle(), QString("Tindra"));
    }
};

QTEST_MAIN(TWidgetShellTest)
#include "WidgetShellTest.moc"
