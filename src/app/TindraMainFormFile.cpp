// The File menu: New, Open, the recent files, the saves and frame exports, saving without the border
// (also set by the frame list's size pop-up), the language, Exit; with the file dialogs and questions
// the document asks (IDocumentAsker), the files dropped on the canvas area, and the error boxes.

#include "TindraMainForm.h"
#include "TindraMainFormControls.h"

#include "IconDocument.h"
#include "LanguageTables.h"
#include "Messages.h"
#include "TindraLangForm.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

void TTindraMainForm::MnFileNewClick() {
    Document->NewDocument(*this);
}

void TTindraMainForm::MnFileOpenClick() {
    OpenFile(QString(), true);
}

void TTindraMainForm::OpenFile(const QString& path, bool addToRecent) {
    if (Document->OpenFile(path.toStdString(), addToRecent, *this) == TOpenResult::Failed)
        ShowErrorMessage(Message(tindra::MsgErrorOpeningFile));
}

void TTindraMainForm::DropFiles(const QList<QUrl>& urls) {
    // Only the first file of a drop is opened.
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        OpenFile(url.toLocalFile(), true);
        return;
    }
}

void TTindraMainForm::MnMRUClearClick() {
    MRU.Clear();
    ApplyCommandRules();
}

void TTindraMainForm::MnMRUShowPathClick() {
    MRU.SetShowFullPath(Ui->MnMRUShowPath->isChecked());
}

void TTindraMainForm::MnFileSaveFrameAsGIFClick() {
    SaveFrameAs(TFileKind::FrameGif);
}

void TTindraMainForm::MnFileSaveFrameAsICOClick() {
    if (Document->IcoExportEnabled()) SaveFrameAs(TFileKind::FrameIco);
}

void TTindraMainForm::MnFileSaveFrameAsBMPClick() {
    SaveFrameAs(TFileKind::FrameBmp);
}

void TTindraMainForm::MnFileSaveFrameAsPNGClick() {
    SaveFrameAs(TFileKind::FramePng);
}

void TTindraMainForm::MnFileExportSpriteSheetClick() {
    SaveFrameAs(TFileKind::SpriteSheet);
}

void TTindraMainForm::MnFileModernIcoClick() {
    const bool on = Ui->MnFileModernIco->isChecked();
    Document->SetModernIco(on);
    RegCtrl.WriteInteger(QString(), QStringLiteral("ModernIco"), on ? 1 : 0);
}

void TTindraMainForm::MnFileOptimizeGifClick() {
    const bool on = Ui->MnFileOptimizeGif->isChecked();
    Document->SetOptimizeGif(on);
    RegCtrl.WriteInteger(QString(), QStringLiteral("OptimizeGif"), on ? 1 : 0);
}

void TTindraMainForm::ReadFileSettings() {
    const bool modern = RegCtrl.ReadInteger(QString(), QStringLiteral("ModernIco"), 0) == 1;
    Document->SetModernIco(modern);
    Ui->MnFileModernIco->setChecked(modern);
    const bool optimize = RegCtrl.ReadInteger(QString(), QStringLiteral("OptimizeGif"), 0) == 1;
    Document->SetOptimizeGif(optimize);
    Ui->MnFileOptimizeGif->setChecked(optimize);
}

void TTindraMainForm::MnFileSaveAsClick() {
    SaveDocumentAs();
}

void TTindraMainForm::SaveDocumentAs() {
    if (Document->ImageLoaded()) ReportSave(Document->SaveDocumentAs(*this));
}

void TTindraMainForm::SaveFrameAs(TFileKind kind) {
    if (Document->ImageLoaded()) ReportSave(Document->SaveFrameAs(kind, *this));
}

void TTindraMainForm::ReportSave(TSaveResult result) {
    // The file it would have replaced is intact; the window is usable again.
    if (result == TSaveResult::WriteFailed)
        ShowErrorMessage(QString::fromStdString(tindra::SaveErrorText(LanguageIndex)));
}

void TTindraMainForm::ShowErrorMessage(const QString& text) {
    QMessageBox::critical(this, QString::fromStdString(tindra::ErrorTitle(LanguageIndex)), text);
}

void TTindraMainForm::MnFileSaveWithoutBorderClick() {
    // The item has toggled already: checked means saving without the border.
    Document->SetOutputSize(Ui->MnFileSaveWithoutBorder->isChecked() ? 32 : 40);
}

void TTindraMainForm::PMThumbSizeClick() {
    // The frame list's pop-up sets the same state as the "without border" item.
    const bool small = sender() == Ui->PMS3;
    Ui->MnFileSaveWithoutBorder->setChecked(small);
    Document->SetOutputSize(small ? 32 : 40);
}

void TTindraMainForm::MnFileSetupClick() {
    if (!Ui->LangForm) return;
    Ui->LangForm->SetFlags(QPixmap::fromImage(ControlImage(3, 0)), QPixmap::fromImage(ControlImage(3, 1)));
    LanguageIndex = Ui->LangForm->exec() == QDialog::Accepted ? 1 : 0;
    ApplyLanguage();
}

void TTindraMainForm::MnFileExitClick() {
    close();
}

// ---- The document's questions

TSaveChangesAnswer TTindraMainForm::AskSaveChanges() {
    if (!Document->IsModified()) return TSaveChangesAnswer::No;
    // Cancel (also Escape and the close box) calls off whatever asked.
    QMessageBox box(QMessageBox::Question, QString::fromStdString(tindra::QuestionTitle(LanguageIndex)),
                    Message(tindra::MsgSaveChanges), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TSaveChangesAnswer::Yes;
    case QMessageBox::No:
        return TSaveChangesAnswer::No;
    default:
        return TSaveChangesAnswer::Cancel;
    }
}

std::string TTindraMainForm::AskOpenFileName() {
    const char* filter =
        LanguageIndex == tindra::LanguageEnglish
            ? "All supported types (*.gif *.bmp *.ico *.png);;GIF (*.gif);;Bitmap (*.bmp);;Icon (*.ico);;"
              "PNG (*.png)"
            : "Všechny podporované typy (*.gif *.bmp *.ico *.png);;GIF (*.gif);;Bitmapa (*.bmp);;Ikona "
              "(*.ico);;"
              "PNG (*.png)";
    return QFileDialog::getOpenFileName(this, QString(), DialogFolder(), QString::fromUtf8(filter))
        .toStdString();
}

std::string TTindraMainForm::AskSaveFileName(TFileKind kind, const std::string& defaultName) {
    const char* filter = kind == TFileKind::FrameBmp                                     ? "BMP (*.bmp)"
                         : kind == TFileKind::FrameIco                                   ? "ICO (*.ico)"
                         : kind == TFileKind::FramePng || kind == TFileKind::SpriteSheet ? "PNG (*.png)"
                                                                                         : "GIF (*.gif)";
    // The overwrite question is the document's (ConfirmOverwrite), not the dialog's.
    const QString start = QDir(DialogFolder()).filePath(QString::fromStdString(defaultName));
    return QFileDialog::getSaveFileName(this, QString(), start, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite)
        .toStdString();
}

bool TTindraMainForm::ConfirmOverwrite(const std::string& path) {
    const QString text =
        QString::fromStdString(tindra::MessageText(tindra::MsgFilePrefix, LanguageIndex)) +
        QFileInfo(QString::fromStdString(path)).fileName() +
        QString::fromStdString(tindra::MessageText(tindra::MsgAlreadyExists, LanguageIndex)) + "\r\n" +
        QString::fromStdString(tindra::MessageText(tindra::MsgReplaceIt, LanguageIndex));
    return QMessageBox::question(this, QString::fromStdString(tindra::QuestionTitle(LanguageIndex)), text) ==
           QMessageBox::Yes;
}
