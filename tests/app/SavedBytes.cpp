// Prints a SHA-256 for every file the main window writes from the pictures of a folder, one line
// "<picture> <step> <hash>" each, so that the output of two builds can be compared byte for byte
// (scripts/compare-saved-bytes.sh). Each picture that opens is saved as it opened, with and without
// the border, with each frame export of the first and the last frame; then it is edited through the
// window's commands and canvas (pencil, fill, dropper, copy, flip, paste, text, rectangle, border,
// automatic border, undo, rotation) and saved again. Besides the folder's pictures: a new document,
// a three-frame animation and a few BMP and ICO pictures made here (many colours, few colours, a
// transparent icon), all going through the same steps.
//
// The window is reached only through its object names and its overridable dialogs, so the same
// source builds against older versions of the window too.

#include "TindraMainForm.h"

#include "IconDocument.h"
#include "InputBox.h"
#include "Surface32.h"
#include "TindraAngleForm.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>

#include <cstdio>

namespace {

class THashForm : public TTindraMainForm {
  public:
    QString SaveTo;
    THashForm() {
        SetControlImagePath(TINDRA_IMAGES_IML);
        SetMessageSink([](const QString&) {});
    }
    void Open(const QString& path) { OpenFile(path, false); }
    TIconDocument& Doc() { return DocumentModel(); }
    std::string AskSaveFileName(TFileKind, const std::string&) override { return SaveTo.toStdString(); }
    bool ConfirmOverwrite(const std::string&) override { return true; }

  protected:
    TSaveChangesAnswer AskSaveChanges() override { return TSaveChangesAnswer::No; }
    TWindowSettings ReadSettings() override {
        TWindowSettings s;
        s.Width = DesignWidth;
        s.Height = DesignHeight;
        s.Language = 1;
        return s;
    }
    void WriteSettings() override {}
    void ShowErrorMessage(const QString&) override {}
};

class TRun {
  public:
    TRun(THashForm& form, const QString& folder) : Form(form), Folder(folder) {}

    // Opens `path` ("" = a new document, "*" = a new three-frame animation); false when the window
    // does not open it.
    bool Start(const QString& path) {
        if (path.isEmpty() || path == "*")
            Trigger("MnFileNew");
        else
            Form.Open(path);
        if (path == "*") {
            Form.Doc().InsertFrame(TInsertPosition::After, Gradient(40, 0), 150);
            Form.Doc().InsertFrame(TInsertPosition::After, FewColours(40), 70);
            Trigger("MnViewFramePrev"); // the middle frame is the one edited
        }
        // A refused file may leave the document that was open before it: only the file's own counts.
        const bool named = path.isEmpty() || path == "*" || Form.Doc().Name().Path == path.toStdString();
        return named && Form.windowTitle().startsWith("Tindra - ");
    }

    // A picture of w × w pixels, each of its own colour (far more than a colour table holds).
    static QImage GradientImage(int w, int shift) {
        QImage image(w, w, QImage::Format_RGB32);
        for (int y = 0; y < w; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, qRgb(x * 6 + shift, y * 6, ((x ^ y) * 4 + shift) & 0xFF));
        return image;
    }
    static QImage FewColoursImage(int w) {
        QImage image(w, w, QImage::Format_RGB32);
        const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(250, 250, 210)};
        for (int y = 0; y < w; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel(x, y, colours[(x / 5 + y / 7) % 4]);
        return image;
    }
    static TSurface32 Surface(const QImage& image) {
        TSurface32 s(image.width(), image.height());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                s.SetPixel(x, y, image.pixel(x, y) | 0xFF000000u);
        return s;
    }
    static TSurface32 Gradient(int w, int shift) { return Surface(GradientImage(w, shift)); }
    static TSurface32 FewColours(int w) { return Surface(FewColoursImage(w)); }

    // BMP and ICO pictures written by the toolkit into `folder`.
    static QStringList MakePictures(const QString& folder) {
        const QDir dir(folder);
        QStringList made;
        auto save = [&](const QImage& image, const char* name) {
            if (image.save(dir.filePath(name))) made << dir.filePath(name);
        };
        save(GradientImage(40, 3), "gradient40.bmp");
        save(GradientImage(32, 9), "gradient32.bmp");
        save(FewColoursImage(40), "few40.bmp");
        QImage icon = FewColoursImage(32).convertToFormat(QImage::Format_ARGB32);
        for (int i = 0; i < 32; ++i)
            icon.setPixel(i, (i * 7) % 32, qRgba(0, 0, 0, 0));
        save(icon, "few32.ico");
        save(GradientImage(32, 1), "gradient32.ico");
        return made;
    }

    // Every save and export of the document as it stands, under the label `step`.
    void SaveAll(const QString& picture, const QString& step) {
        for (bool withoutBorder : {false, true}) {
            SetWithoutBorder(withoutBorder);
            const QString size = withoutBorder ? "32" : "40";
            Save(picture, step + "/document" + size, "MnFileSaveAs", "gif");
            for (const char* frame : {"MnViewFrameFirst", "MnViewFrameLast"}) {
                Trigger(frame);
                const QString at = step + "/" + (frame[11] == 'F' ? "first" : "last") + size;
                Save(picture, at + "/gif", "MnFileSaveFrameAsGIF", "gif");
                Save(picture, at + "/bmp", "MnFileSaveFrameAsBMP", "bmp");
                if (withoutBorder) Save(picture, at + "/ico", "MnFileSaveFrameAsICO", "ico");
            }
        }
        SetWithoutBorder(false);
    }

    // A fixed series of edits through the commands and the canvas.
    void Edit() {
        Tool("SBToolPen");
        Click(10, 10, Qt::LeftButton);
        Drag(2, 30, 12, 34, Qt::LeftButton);
        Tool("SBToolFloodFill");
        Click(20, 20, Qt::RightButton);
        Tool("SBToolColorDropper");
        Click(5, 5, Qt::RightButton, Qt::ControlModifier); // transparent (and background) colour
        Click(12, 30, Qt::LeftButton);                     // drawing colour
        Trigger("MnEditCopy");
        Trigger("MnImageFlipHor");
        Trigger("MnImageFlipVert");
        Trigger("MnEditPaste");
        Tool("SBToolText");
        TInputBox::SetHook([](const QString&, const QString&, const QString&) { return QString("Ab"); });
        Click(6, 20, Qt::LeftButton);
        TInputBox::SetHook(nullptr);
        Tool("SBToolRectangle");
        Drag(8, 8, 16, 14, Qt::RightButton);
        Tool("SBToolBrush");
        Drag(30, 4, 34, 9, Qt::LeftButton);
        Trigger("MnImageDrawBorder");
        Trigger("MnEditUndo");
        Rotate(30);
        Tool("SBToolLine");
        Drag(0, 0, 39, 20, Qt::LeftButton);
        Trigger("MnEditCopy");
        // With the automatic border switched on, a fill whose region reaches the ring stops at the
        // border: a white line splits a grey picture (ring included) in two halves.
        Trigger("MnImageDrawBorder");
        Tool("SBToolColorDropper");
        Click(0, 0, Qt::LeftButton);  // white
        Click(2, 2, Qt::RightButton); // grey
        Trigger("MnEditClear");
        Tool("SBToolLine");
        Drag(20, 4, 20, 35, Qt::LeftButton);
        Trigger("MnImageAutoBorder");
        Tool("SBToolFloodFill");
        Click(10, 10, Qt::LeftButton);
        Tool("SBToolRectangle");
        Drag(24, 6, 33, 30, Qt::LeftButton);
        Trigger("MnImageAutoBorder");
        Trigger("MnEditPaste");
        Trigger("MnEditUndo");
    }

  private:
    void Trigger(const char* name) {
        QAction* action = Form.findChild<QAction*>(name);
        if (!action) qFatal("no command %s", name);
        action->trigger();
        QCoreApplication::processEvents();
    }
    void SetWithoutBorder(bool on) {
        QAction* item = Form.findChild<QAction*>("MnFileSaveWithoutBorder");
        if (item->isChecked() != on) item->trigger();
    }
    void Save(const QString& picture, const QString& step, const char* command, const char* ext) {
        const QString path = QDir(Folder).filePath(QString("out.") + ext);
        QFile::remove(path);
        Form.SaveTo = path;
        Trigger(command);
        QFile file(path);
        QByteArray hash = "-";
        if (file.open(QIODevice::ReadOnly))
            hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
        QTextStream(stdout) << picture << " " << step << " " << hash << "\n";
    }
    void Tool(const char* name) { Form.findChild<QToolButton*>(name)->click(); }
    QWidget* Canvas() const { return Form.findChild<QWidget*>("PBMain"); }
    QPointF At(int col, int row) const {
        const int zoom = Canvas()->width() / 40;
        return QPointF(col * zoom + zoom / 2, row * zoom + zoom / 2);
    }
    void Send(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
              Qt::KeyboardModifiers mods) {
        QMouseEvent e(type, at, Canvas()->mapToGlobal(at), button, held, mods);
        QApplication::sendEvent(Canvas(), &e);
    }
    void Click(int col, int row, Qt::MouseButton button, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        Send(QEvent::MouseButtonPress, At(col, row), button, button, mods);
        Send(QEvent::MouseButtonRelease, At(col, row), button, Qt::NoButton, mods);
    }
    void Drag(int c1, int r1, int c2, int r2, Qt::MouseButton button) {
        Send(QEvent::MouseButtonPress, At(c1, r1), button, button, Qt::NoModifier);
        Send(QEvent::MouseMove, At((c1 + c2) / 2, (r1 + r2) / 2), Qt::NoButton, button, Qt::NoModifier);
        Send(QEvent::MouseMove, At(c2, r2), Qt::NoButton, button, Qt::NoModifier);
        Send(QEvent::MouseButtonRelease, At(c2, r2), button, Qt::NoButton, Qt::NoModifier);
    }
    void Rotate(int degrees) {
        QTimer::singleShot(0, [degrees] {
            auto* dialog = qobject_cast<TTindraAngleForm*>(QApplication::activeModalWidget());
            if (!dialog) return;
            dialog->findChild<QSpinBox*>()->setValue(degrees);
            dialog->accept();
        });
        Trigger("MnImageRotate");
    }

    THashForm& Form;
    QString Folder;
};

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    QTemporaryDir out;
    THashForm form;
    form.CreateDialogs();
    form.show();
    form.FormActivate();
    QCoreApplication::processEvents();
    TRun run(form, out.path());

    QTemporaryDir made;
    QStringList pictures{QString(), QString("*")};
    const QStringList own = TRun::MakePictures(made.path());
    QDirIterator files(QString::fromLocal8Bit(argv[1]), {"*.gif", "*.bmp", "*.ico"}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext())
        pictures << files.next();
    std::sort(pictures.begin() + 2, pictures.end());
    pictures << own;
    const QDir base(QString::fromLocal8Bit(argv[1]));
    for (const QString& path : pictures) {
        const QString name = path.isEmpty()  ? QString("(new)")
                             : path == "*"    ? QString("(animation)")
                             : own.contains(path) ? "(made)/" + QFileInfo(path).fileName()
                                                  : base.relativeFilePath(path);
        if (!run.Start(path)) continue;
        run.SaveAll(name, "opened");
        if (!run.Start(path)) continue;
        run.Edit();
        run.SaveAll(name, "edited");
    }
    return 0;
}
