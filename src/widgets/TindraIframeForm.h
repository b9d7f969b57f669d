#pragma once
// Insert-frame dialog: where the new frame goes, where it comes from, its display time.
//
// The preview is always built on the empty bordered frame by the document's placement rule
// (TIconDocument::InsertPreview); the clipboard source reads the system clipboard, the file source
// asks the window's open dialog (IDocumentAsker::AskOpenFileName) for a picture file, the copy source
// takes the current frame's picture and display time. The position and
// the display time are kept between uses.

#include "PixelImage.h"
#include "Surface32.h"

#include <QDialog>

class IDocumentAsker;
class TIconDocument;

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TTindraIframeForm : public QDialog {
    Q_OBJECT
  public:
    enum TSource : int { SourceEmpty = 0, SourceClipboard = 1, SourceFile = 2, SourceCopy = 3 };

    TTindraIframeForm(const TIconDocument& document, IDocumentAsker& asker, QWidget* parent = nullptr);

    // 0 before the current frame, 1 after it.
    int TargetIndex() const;
    int DisplayTime() const;
    const TSurface32& Preview() const { return FPreview; }

    QGroupBox* RGFrameTarget;
    QRadioButton *RBBefore, *RBAfter;
    QComboBox* CBFrameSource;
    QLabel* ImPreview;
    QLabel* STDisplayTime;
    QSpinBox* SEDisplayTime;
    QPushButton *OKButton, *CancelButton;

    // The texts in Czech (0) or English (1).
    void ApplyLanguage(int languageIndex);

    // Activation: the empty frame as source and preview.
    void FormActivate();
    void CBFrameSourceClick(int source);

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void ShowPreview(const TPixelImage* picture);

    const TIconDocument& Document;
    IDocumentAsker& Asker;
    TSurface32 FPreview;
};
