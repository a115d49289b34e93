#pragma once
// The ruler above the rich-edit control: shows the first-line, left and
// right indents and the tab stops of the paragraph under the caret, and lets
// the person drag them, add a tab with a click into the tab strip and drag a
// tab off the ruler to remove it. While a marker is dragged a dotted guide
// line runs down over the edit. What changed is handed back through
// ParagraphEdited with the paragraph members it touched; the ruler knows
// nothing else of the edit. The geometry and the editing rules are
// components::TRichRulerModel.
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "components/richrulermodel.h"

namespace components::ui {

class TRichRuler : public QWidget {
    Q_OBJECT
public:
    using TParagraphReader = std::function<rtf::ParaFormat()>;

    explicit TRichRuler(QWidget* parent = nullptr);
    ~TRichRuler() override;

    int ButtonSize() const { return model_.ButtonSize(); }
    void SetButtonSize(int size);
    // The page's width in Units (the width of the edit's text area).
    double PageSize() const { return model_.PageSize(); }
    void SetPageSize(double size);
    components::TRulerUnits Units() const { return model_.Units(); }
    void SetUnits(components::TRulerUnits units);

    // The edit the ruler serves. The guide line is drawn over it; with a
    // reader, the ruler reads the paragraph again whenever the edit's caret
    // or selection moves (its cursorPositionChanged() or selectionChanged()
    // signal), after the edit's own handlers. The ruler lets go of an edit
    // that is destroyed.
    QWidget* RichEdit() const { return richEdit_; }
    void SetRichEdit(QWidget* edit, TParagraphReader reader = {});

    const components::TRichRulerModel& Model() const { return model_; }
    // The paragraph as shown, with the changes made on the ruler.
    rtf::ParaFormat Paragraph() const { return model_.Paragraph(); }
    // Shows a paragraph; a drag in progress ends without writing.
    void ShowParagraph(const rtf::ParaFormat& paragraph);
    // The guide line over the edit while a marker is dragged (nullptr
    // otherwise).
    QWidget* GuideLine() const;

    QSize sizeHint() const override;

public slots:
    // Reads the paragraph through the reader given with the edit.
    virtual void ReadParagraph();

signals:
    // `members`: the rtf::ParaMask bits of what the person changed.
    void ParagraphEdited(const rtf::ParaFormat& paragraph, quint32 members);

protected:
    // Shows the guide line at the dragged marker, or hides it.
    virtual void DrawGuideLine();
    virtual void WriteParagraph(std::uint32_t members);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FollowScreen();
    QRect ScaleBand() const;
    void DrawScale(QPainter& painter);
    void DrawMarkers(QPainter& painter);
    void DrawTab(QPainter& painter, const rtf::TabStop& tab, int x);
    void ConnectEdit();

    components::TRichRulerModel model_;
    QPointer<QWidget> richEdit_;
    TParagraphReader reader_;
    QPointer<QWidget> guide_;
};

} // namespace components::ui
