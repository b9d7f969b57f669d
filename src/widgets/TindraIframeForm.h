#pragma once
// Insert-frame dialog: where the new frame goes, where it comes from, its display time.
//
// The preview is always built on the empty bordered frame by MakePreview (the document's placement
// rule); the clipboard source reads the system clipboard, the file source asks AskFileName for a
// picture file. The position and the display time are kept between uses.

#include "PixelImage.h"
#include "Surface32.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TTindraIframeForm : public QDialog {
    Q_OBJECT
  public:
    enum TSource : int { SourceEmpty = 0, SourceClipboard = 1, SourceFile = 2 };

    explicit TTindraIframeForm(QWidget* parent = nullptr);

    // The picture placed on the empty bordered frame; nullptr gives the empty frame.
    std::function<TSurface32(const TPixelImage*)> MakePreview;
    // The open dialog for the file source; an empty text when cancelled.
    std::function<QString()> AskFileName;

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

    TSurface32 FPreview;
};
