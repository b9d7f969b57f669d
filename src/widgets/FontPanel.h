#pragma once
// The text tool's font controls in the colour panel and the sample panel that shows the font.
//
// The sample panel's font is the text tool's font; there is no other copy. The face list shows
// every face with the example "Abc", the size list the sizes the face offers (free text allowed),
// the B/I/U buttons show the style a click will produce, and the font button opens the font
// dialog. A click on the sample asks for a new sample text.
//
// Character sets are mapped onto Qt's writing systems: a face that writes Latin offers Central
// European (238), a symbol face offers Symbol (2); otherwise the platform default (1) is used.

#include "TextRasterizer.h"

#include <QFont>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QToolButton;
class TIconDocument;

class TFontPanel : public QObject {
    Q_OBJECT
  public:
    static constexpr uint8_t CharsetDefault = 1;
    static constexpr uint8_t CharsetSymbol = 2;
    static constexpr uint8_t CharsetCentralEuropean = 238;
    static const QString DefaultSample; // "ÁáČčŤťŠš"

    struct TControls {
        QComboBox* FontName;
        QComboBox* FontSize;
        QToolButton* FontSelect;
        QToolButton* Bold;
        QToolButton* Italics;
        QToolButton* Underline;
        QLabel* Sample;
    };
    // The text tool writes into `document`.
    TFontPanel(TIconDocument& document, const TControls& controls, QObject* parent = nullptr);

    // The text tool's font (also the sample's).
    const TFontDescription& TextFont() const { return FFont; }
    QString SampleText() const { return FSample; }
    // The hidden list of the face's character sets.
    QComboBox* CBFontCharset() const { return FCharsets; }

    // The prompts of the sample text and of the text tool, in the interface language.
    void SetPrompts(const QString& sample, const QString& text);
    // The font dialog; nothing when cancelled. Replaceable for tests.
    std::function<std::optional<QFont>(const QFont& current)> AskFont;

    // The character set a face offers by the rule above.
    static uint8_t FaceCharset(const QString& family);

    void CBFontNameChange();
    void CBFontSizeChange();
    void SBBoldClick();
    void SBItalicsClick();
    void SBUnderlineClick();
    void SBFontSelectClick();
    void TestPanelClick();

    // The text tool's release on cell (col, row) with the button of the press: asks for the text and
    // writes it in the text font as one edit of the document, its block ending just above the cell.
    // Left draws in the drawing colour, right in the background colour, middle draws nothing but
    // still commits. An empty text changes nothing.
    void WriteText(int col, int row, Qt::MouseButton button);

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void FillSizes();
    void ToggleStyle(TFontStyle style);
    void ShowStyleButtons();
    void ShowSample();

    TIconDocument& Document;
    TControls C;
    QString SamplePrompt, TextPrompt;
    QComboBox* FCharsets;
    TFontDescription FFont;
    QString FSample;
};
