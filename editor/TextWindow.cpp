#include "editor/TextWindow.h"

#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/TextCodec.h"
#include "platform/widgets/WindowPlacement.h"
#include "templates/word_wrap.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <map>
#include <limits>

namespace {

constexpr int kReadoutMessage = QEvent::User + 1021;

// The memo's layout. Qt's own wrapping does not follow the program's rules (it breaks at
// hyphens and symbols, cuts a long word after other words on its line, and miscounts a fixed
// column width by the blank after a word), so every paragraph is laid out in the lines of the
// core wrap: what the user sees is what the value editor stores and what generation writes.
class MemoLayout : public QAbstractTextDocumentLayout {
public:
    explicit MemoLayout(QTextDocument* doc)
        : QAbstractTextDocumentLayout(doc)
    {
    }

    int columns() const { return columns_; }
    void setColumns(int columns)
    {
        columns = std::max(1, columns);
        if (columns == columns_)
            return;
        columns_ = columns;
        relayoutAll();
    }
    void relayoutAll() { documentChanged(0, 0, document()->characterCount()); }

    void draw(QPainter* painter, const PaintContext& context) override
    {
        painter->save();
        painter->setPen(context.palette.color(QPalette::Text));
        const int cursorWidth = property("cursorWidth").isValid() ? property("cursorWidth").toInt() : 1;
        for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
            const QRectF r = blockBoundingRect(b);
            if (context.clip.isValid() && (r.bottom() < context.clip.top() || r.top() > context.clip.bottom()))
                continue;
            const int start = b.position();
            const int length = b.length();
            QList<QTextLayout::FormatRange> ranges;
            for (const Selection& sel : context.selections) {
                const int from = std::max(sel.cursor.selectionStart() - start, 0);
                const int to = std::min(sel.cursor.selectionEnd() - start, length);
                if (from < to) {
                    QTextLayout::FormatRange range;
                    range.start = from;
                    range.length = to - from;
                    range.format = sel.format;
                    ranges.append(range);
                }
            }
            b.layout()->draw(painter, QPointF(), ranges, context.clip.isValid() ? context.clip : QRectF());
            if (context.cursorPosition >= start && context.cursorPosition < start + length)
                b.layout()->drawCursor(painter, QPointF(), context.cursorPosition - start, cursorWidth);
        }
        painter->restore();
    }

    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override
    {
        for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
            const QTextLayout* layout = b.layout();
            const QRectF r = blockBoundingRect(b);
            if (point.y() >= r.bottom() && b.next().isValid())
                continue;
            const QPointF p = point - layout->position();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                if (p.y() >= line.y() + line.height() && i + 1 < layout->lineCount())
                    continue;
                if (accuracy == Qt::ExactHit
                    && (p.y() < line.y() || p.y() >= line.y() + line.height() || p.x() < 0
                        || p.x() > line.naturalTextWidth()))
                    return -1;
                return b.position() + line.xToCursor(p.x());
            }
            return accuracy == Qt::ExactHit ? -1 : b.position();
        }
        return -1;
    }

    int pageCount() const override { return 1; }
    QSizeF documentSize() const override { return size_; }
    QRectF frameBoundingRect(QTextFrame*) const override { return QRectF(QPointF(), size_); }

    QRectF blockBoundingRect(const QTextBlock& block) const override
    {
        const QTextLayout* layout = block.layout();
        if (layout == nullptr)
            return {};
        return QRectF(layout->position(), QSizeF(size_.width(), heightOf(*layout)));
    }

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override
    {
        Q_UNUSED(charsRemoved);
        QTextDocument* doc = document();
        const QTextBlock last = doc->findBlock(from + charsAdded);
        for (QTextBlock b = doc->findBlock(from); b.isValid(); b = b.next()) {
            layoutBlock(b);
            if (b == last)
                break;
        }
        // Blocks never laid out yet (a document handed over with text in it).
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            if (b.layout()->lineCount() == 0)
                layoutBlock(b);
        }
        const qreal margin = doc->documentMargin();
        qreal y = margin;
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            b.layout()->setPosition(QPointF(margin, y));
            y += heightOf(*b.layout());
        }
        const qreal advance = QFontMetricsF(doc->defaultFont()).horizontalAdvance(QLatin1Char('M'));
        size_ = QSizeF(2 * margin + columns_ * advance, y + margin);
        emit documentSizeChanged(size_);
        emit update(QRectF(0, 0, 1e9, 1e9));
    }

private:
    static qreal heightOf(const QTextLayout& layout)
    {
        if (layout.lineCount() == 0)
            return 0;
        const QTextLine last = layout.lineAt(layout.lineCount() - 1);
        return last.y() + last.height();
    }

    void layoutBlock(const QTextBlock& block)
    {
        QTextLayout* layout = block.layout();
        const QString text = block.text();
        // One byte per character, so the core's positions are the paragraph's.
        const std::vector<pkm::DisplayLine> shown = pkm::layoutDisplayLines(fromDisplay(text), columns_);

        QTextOption option = document()->defaultTextOption();
        // A tab is one column wide, as the core counts it.
        option.setTabStopDistance(QFontMetricsF(document()->defaultFont()).horizontalAdvance(QLatin1Char('M')));

        // A displayed line that ends before the paragraph does gets a width from the x positions
        // of the characters at its ends, read off one unwrapped line, whatever the advance of
        // its glyphs.
        const auto size = static_cast<std::size_t>(text.size());
        std::map<std::size_t, qreal> x;
        for (const pkm::DisplayLine& shownLine : shown) {
            const std::size_t end = shownLine.start + shownLine.length;
            if (end < size)
                for (const std::size_t at : {shownLine.start, shownLine.start + 1, end, end + 1})
                    x.emplace(at, 0);
        }
        if (!x.empty()) {
            option.setWrapMode(QTextOption::NoWrap);
            layout->setTextOption(option);
            layout->beginLayout();
            if (QTextLine whole = layout->createLine(); whole.isValid()) {
                whole.setLineWidth(1e9);
                for (auto& [at, value] : x)
                    value = whole.cursorToX(static_cast<int>(at));
            }
            layout->endLayout();
        }

        // Each line is just wide enough for its characters (the blanks at its end included)
        // and too narrow for the next one.
        option.setWrapMode(QTextOption::WrapAnywhere);
        layout->setTextOption(option);
        layout->beginLayout();
        qreal y = 0;
        std::size_t i = 0;
        for (;;) {
            QTextLine line = layout->createLine();
            if (!line.isValid())
                break;
            qreal width = 1e9;
            if (i < shown.size()) {
                const std::size_t begin = shown[i].start;
                const std::size_t end = begin + shown[i].length;
                if (end < size) {
                    const bool blanksOnly = std::all_of(text.begin() + static_cast<qsizetype>(begin),
                                                        text.begin() + static_cast<qsizetype>(end), [](QChar c) {
                                                            return c == QLatin1Char(' ') || c == QLatin1Char('\t');
                                                        });
                    // Qt starts a line with at least one character after its blanks, unless the
                    // blanks alone are wider than the line.
                    if (blanksOnly)
                        width = x[end] - x[begin] - (x[begin + 1] - x[begin]) / 2;
                    else
                        width = x[end] - x[begin] + (x[end + 1] - x[end]) / 2;
                }
            }
            ++i;
            line.setLineWidth(width);
            line.setPosition(QPointF(0, y));
            y += line.height();
        }
        layout->endLayout();
    }

    int columns_ = 1;
    QSizeF size_;
};

// Byte text (lines ending in CR LF, CR or LF) to the memo's text, one paragraph per line.
QString bytesToMemo(const std::string& bytes)
{
    std::string normalized;
    normalized.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\0')
            break;
        if (c == '\r') {
            normalized += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            normalized += c;
        }
    }
    return toDisplay(normalized);
}

} // namespace

TForm3::TForm3(QWidget* owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("Form3"));
    setFont(windowFont());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);

    Memo1 = new QTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAcceptRichText(false);
    Memo1->setFrameShape(QFrame::Box);
    Memo1->setLineWidth(1);
    Memo1->document()->setDocumentMargin(2);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Memo1->document()->setDocumentLayout(new MemoLayout(Memo1->document()));
    Memo1->setTabChangesFocus(true);
    Memo1->setUndoRedoEnabled(true);
    bool terminal = false;
    Memo1->setFont(fixedTextFont(&terminal));
    Memo1->installEventFilter(this);
    Memo1->viewport()->installEventFilter(this);

    Button1 = new QPushButton(tr("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(tr("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, [this] {
        if (OnOkClick)
            OnOkClick();
        else
            accept();
    });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    Memo1->setGeometry(10, 10, 572, 318);
    Button1->setGeometry(422, 338, 75, 25);
    Button2->setGeometry(507, 338, 75, 25);
    resize(592, 373);
    setSizeable(false);
    Memo1->setFocus();
    applyColumns();
}

int TForm3::charAdvance() const
{
    const int advance = QFontMetrics(Memo1->font()).horizontalAdvance(QLatin1Char('M'));
    return advance > 0 ? advance : 8;
}

int TForm3::memoWidthForChars(int chars) const
{
    return chars * charAdvance() + 6;
}

int TForm3::columns() const
{
    return std::max(1, (Memo1->width() - 6) / charAdvance());
}

void TForm3::applyColumns()
{
    // Wrap at a whole number of character cells, as the memo holds `columns()` characters. A new
    // font lays the document out again by itself; only a new column count needs it here.
    static_cast<MemoLayout*>(Memo1->document()->documentLayout())->setColumns(columns());
}

void TForm3::FitWidthToMemo()
{
    const int memoWidth = Memo1->width();
    if (minimumWidth() == maximumWidth()) // fixed border: keep it fixed at the new width
        setFixedWidth(memoWidth + 20);
    else
        resize(memoWidth + 20, height());
    FormResize();
}

void TForm3::setSizeable(bool sizeable)
{
    const QSize current = size();
    if (sizeable) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    } else {
        setFixedSize(current);
        setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    }
    resize(current);
}

void TForm3::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    FormResize();
}

void TForm3::FormResize()
{
    const int cw = width();
    const int ch = height();
    Memo1->setGeometry(10, 10, std::max(0, cw - 20), std::max(0, ch - 55));
    const int okLeft = helperMode() ? (cw - Button1->width()) / 2 : cw - 170;
    Button1->move(okLeft, ch - 35);
    Button2->move(cw - 85, ch - 35);
    applyColumns();
}

void TForm3::setMemoFontName(const QString& family)
{
    Memo1->setFont(fixedTextFontNamed(family));
    applyColumns();
}

std::string TForm3::memoText() const
{
    std::string out;
    const QTextDocument* doc = Memo1->document();
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next()) {
        if (b != doc->firstBlock())
            out += "\r\n";
        out += fromDisplay(b.text());
    }
    return out;
}

void TForm3::setMemoText(const std::string& bytes)
{
    Memo1->setPlainText(bytesToMemo(bytes));
}

void TForm3::loadFromFile(const std::string& path)
{
    const std::optional<std::string> bytes = pkm::readFileBytes(path);
    if (!bytes)
        throw pkm::Error(pkm::formatMessage("Cannot open file %s", path));
    setMemoText(*bytes);
}

void TForm3::saveToFile(const std::string& path) const
{
    // Every line is followed by CR LF, the last one too.
    std::string text = memoText();
    if (!text.empty() && !text.ends_with("\r\n"))
        text += "\r\n";
    switch (pkm::replaceFile(path, text)) {
    case pkm::WriteOutcome::Written:
        return;
    case pkm::WriteOutcome::CannotCreate:
        throw pkm::Error(pkm::formatMessage("Cannot create file %s", path));
    case pkm::WriteOutcome::WriteFailed:
        throw pkm::Error(pkm::formatMessage("Unable to write to %s", path));
    }
}

std::vector<std::string> TForm3::displayLines() const
{
    return pkm::wrapDisplayLines(memoText(), columns());
}

void TForm3::postPositionReadout()
{
    if (helperMode())
        QCoreApplication::postEvent(this, new QEvent(QEvent::Type(kReadoutMessage)));
}

void TForm3::ShowPosition()
{
    // Positions count a line end as the two characters CR LF, as in the file.
    const QTextCursor cursor = Memo1->textCursor();
    const QTextDocument* doc = Memo1->document();
    auto windowsIndex = [doc](int pos) {
        return static_cast<std::size_t>(pos + doc->findBlock(pos).blockNumber());
    };
    const std::size_t s = windowsIndex(cursor.selectionStart());
    const std::size_t e = windowsIndex(cursor.selectionEnd());
    std::size_t lineStart = 0;
    const std::size_t line = pkm::displayLineOfIndex(memoText(), columns(), s, &lineStart);
    setWindowTitle(QStringLiteral("%1 [L: %2 - S: %3 - W: %4]")
                       .arg(HelperFileName)
                       .arg(line + 1)
                       .arg(s - lineStart + 1)
                       .arg(e - s));
}

bool TForm3::event(QEvent* event)
{
    if (event->type() == QEvent::Type(kReadoutMessage)) {
        if (helperMode())
            ShowPosition();
        return true;
    }
    return QDialog::event(event);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Memo1 || watched == Memo1->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::KeyPress: {
            postPositionReadout();
            // A read-only memo keeps Return to itself: it does not press the OK button.
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (watched == Memo1 && Memo1->isReadOnly() && (key == Qt::Key_Return || key == Qt::Key_Enter))
                return true;
            break;
        }
        case QEvent::MouseMove:
            if (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton)
                postPositionReadout();
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        centerOnScreen(this);
}

void TForm3::closeEvent(QCloseEvent* event)
{
    QDialog::closeEvent(event);
    if (event->isAccepted() && OnClosed)
        OnClosed();
}
