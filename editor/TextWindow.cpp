// TForm3, the fixed-font text window.
#include "editor/TextWindow.h"

#include "editor/ParagraphLayout.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/widgets/DeferredMessage.h"
#include "platform/widgets/Dialogs.h"
#include "platform/widgets/Fonts.h"
#include "platform/widgets/TextCodec.h"
#include "platform/widgets/WindowPlacement.h"
#include "templates/text_lines.h"
#include "templates/text_window_size.h"
#include "templates/word_wrap.h"
#include "ui_TextWindow.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextEdit>

#include <algorithm>
#include <memory>

// The wizard's own window and pipe classes are global; everything else is in pkm.
using namespace pkm;

namespace {

// Byte text to the memo's text, a paragraph per line, decoded straight into one string.
QString bytesToMemo(const std::string& bytes)
{
    const std::vector<std::string_view> paragraphs = pkm::splitTextParagraphViews(bytes);
    std::size_t size = paragraphs.size();
    for (std::string_view paragraph : paragraphs)
        size += paragraph.size();
    QString text;
    text.reserve(static_cast<qsizetype>(size));
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            text += QLatin1Char('\n');
        appendDisplay(text, paragraphs[i]);
    }
    return text;
}

// The memo's paragraphs as bytes; a document has one at least.
std::vector<std::string> paragraphsOf(const QTextDocument* doc)
{
    std::vector<std::string> paragraphs;
    paragraphs.reserve(static_cast<std::size_t>(doc->blockCount()));
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next())
        paragraphs.push_back(fromDisplay(b.text()));
    return paragraphs;
}

} // namespace

TForm3::TForm3(QWidget* owner)
    : QDialog(owner)
{
    setFont(windowFont());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    Ui::TForm3 ui;
    ui.setupUi(this);
    Memo1 = ui.Memo1;
    Button1 = ui.Button1;
    Button2 = ui.Button2;

    // The form holds the memo's widget settings; its document, layout and font are set here.
    Memo1->document()->setDocumentMargin(2);
    Memo1->document()->setDocumentLayout(new ParagraphLayout(Memo1->document()));
    bool terminal = false;
    Memo1->setFont(fixedTextFont(&terminal));
    Memo1->installEventFilter(this);
    Memo1->viewport()->installEventFilter(this);

    connect(Button1, &QPushButton::clicked, this, [this] {
        if (OnOkClick)
            OnOkClick();
        else
            accept();
    });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Memo1->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this] { followDocumentHeight(); });

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
    return std::max(1, (Memo1->width() - pkm::kMemoTextInset - (scrollBar_ ? scrollBarWidth() : 0)) / charAdvance());
}

int TForm3::scrollBarWidth() const
{
    return Memo1->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Memo1);
}

void TForm3::setScrollBar(bool shown)
{
    scrollBar_ = shown;
    Memo1->setVerticalScrollBarPolicy(shown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    static_cast<ParagraphLayout*>(Memo1->document()->documentLayout())->setColumns(columns());
}

bool TForm3::textTallerThanMemo() const
{
    // The lines against the memo's inside; the document's margin below them may be cut.
    const QTextDocument* doc = Memo1->document();
    const qreal shown = Memo1->height() - 2 * Memo1->frameWidth() - doc->documentMargin();
    return doc->documentLayout()->documentSize().height() - 2 * doc->documentMargin() > shown;
}

void TForm3::applyColumns()
{
    // Wrap at a whole number of character cells, as the memo holds `columns()` characters. A new
    // font lays the document out again by itself; only a new column count needs it here.
    following_ = true;
    if (fitted_) {
        // More paragraphs than the memo shows lines need the bar whatever the columns; else
        // without the bar first: a text that then fits needs none, and one that does not only
        // grows when the bar takes its columns.
        const QTextDocument* doc = Memo1->document();
        const qreal lineHeight = QFontMetricsF(doc->defaultFont()).height();
        const qreal shown = Memo1->height() - 2 * Memo1->frameWidth() - doc->documentMargin();
        if (doc->blockCount() * lineHeight > shown) {
            setScrollBar(true);
        } else {
            setScrollBar(false);
            if (textTallerThanMemo())
                setScrollBar(true);
        }
    } else {
        static_cast<ParagraphLayout*>(Memo1->document()->documentLayout())->setColumns(columns());
    }
    following_ = false;
}

void TForm3::followDocumentHeight()
{
    if (!fitted_ || following_)
        return;
    following_ = true;
    if (!scrollBar_ && textTallerThanMemo())
        setScrollBar(true);
    else if (scrollBar_ && !textTallerThanMemo())
        setScrollBar(false);
    following_ = false;
}

void TForm3::fitToText()
{
    const QTextDocument* doc = Memo1->document();
    std::size_t longest = 0;
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next())
        longest = std::max(longest, static_cast<std::size_t>(b.length() - 1));
    pkm::TextWindowMetrics metrics;
    metrics.advance = charAdvance();
    metrics.lineHeight = std::max(1, QFontMetrics(Memo1->font()).height());
    metrics.scrollBarWidth = scrollBarWidth();
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        // The frame is the window manager's, known once the window has been shown; until then
        // a title bar's height is kept free.
        const QRect area = screen->availableGeometry();
        const QSize frame = frameGeometry().size() - size();
        const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        metrics.availableWidth = area.width() - frame.width();
        metrics.availableHeight = area.height() - (frame.height() > 0 ? frame.height() : titleBar);
    }
    const pkm::TextWindowSize fit = pkm::TextWindowSizeFor(longest, static_cast<std::size_t>(doc->blockCount()),
                                                           metrics);
    fitted_ = true;
    if (minimumSize() == maximumSize())
        setFixedSize(fit.clientWidth, fit.clientHeight);
    else
        resize(fit.clientWidth, fit.clientHeight);
    FormResize();
}

void TForm3::fitToColumns(int chars, int leastWidth)
{
    Memo1->resize(memoWidthForChars(chars), Memo1->height());
    FitWidthToMemo();
    // The window's frame is the window manager's and unknown before it is shown: the width is
    // the window's own.
    if (width() < leastWidth)
        setClientWidth(leastWidth);
}

void TForm3::FitWidthToMemo()
{
    setClientWidth(Memo1->width() + 20);
}

void TForm3::setClientWidth(int clientWidth)
{
    if (minimumWidth() == maximumWidth())
        setFixedWidth(clientWidth);
    else
        resize(clientWidth, height());
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
    const int okLeft = helperMode() || centredOk_ ? (cw - Button1->width()) / 2 : cw - 170;
    Button1->move(okLeft, ch - 35);
    Button2->move(cw - 85, ch - 35);
    applyColumns();
}

void TForm3::setUpAsSectionHelper(const QString& fileName, std::function<void()> onOk, std::function<void()> onClosed)
{
    HelperFileName = fileName;
    OnOkClick = std::move(onOk);
    OnClosed = std::move(onClosed);
    Button2->hide();
    Memo1->setReadOnly(true);
    // Read-only, the caret still moves and selects with the keys, for the read-out.
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    FormResize();
}

void TForm3::setUpAsViewer()
{
    centredOk_ = true;
    Button2->hide();
    Memo1->setReadOnly(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    FormResize();
}

void TForm3::setMemoFontName(const QString& family)
{
    Memo1->setFont(fixedTextFontNamed(family));
    applyColumns();
}

std::string TForm3::memoText() const
{
    // The text the memo was given.
    return pkm::joinValueLines(paragraphsOf(Memo1->document()));
}

void TForm3::setMemoText(const std::string& bytes)
{
    if (!fitted_) {
        Memo1->setPlainText(bytesToMemo(bytes));
        return;
    }
    // Counted once, at the columns of the window sized to it: until then no line wraps.
    static_cast<ParagraphLayout*>(Memo1->document()->documentLayout())->setColumns(1 << 20);
    Memo1->setPlainText(bytesToMemo(bytes));
    fitToText();
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
    // Every line is followed by CR LF, the last one too; an empty last paragraph is no line,
    // only the end of the line before it.
    std::vector<std::string> lines = paragraphsOf(Memo1->document());
    if (lines.back().empty())
        lines.pop_back();
    const pkm::WriteOutcome outcome = pkm::replaceFile(path, pkm::joinTextLines(lines));
    if (outcome != pkm::WriteOutcome::Written)
        throw pkm::Error(pkm::writeFailureText(outcome, path));
}

std::vector<std::string> TForm3::displayLines() const
{
    return pkm::wrapDisplayLines(memoText(), columns());
}

void TForm3::postPositionReadout()
{
    if (helperMode())
        postDeferredMessage(this);
}

void TForm3::ShowPosition()
{
    // Positions count a line end as the two characters CR LF, as in the file. Display lines
    // above the caret's paragraph come from the layout; only that paragraph is wrapped here.
    const QTextCursor cursor = Memo1->textCursor();
    const QTextDocument* doc = Memo1->document();
    const auto* layout = static_cast<const ParagraphLayout*>(doc->documentLayout());
    const QTextBlock block = doc->findBlock(cursor.selectionStart());
    auto windowsIndex = [doc](int pos) { return pos + doc->findBlock(pos).blockNumber(); };
    const auto inBlock = static_cast<std::size_t>(cursor.selectionStart() - block.position());
    std::size_t lineStart = 0;
    const std::size_t line = pkm::displayLineOfIndex(fromDisplay(block.text()), layout->columns(), inBlock, &lineStart);
    setWindowTitle(QStringLiteral("%1 [L: %2 - S: %3 - W: %4]")
                       .arg(HelperFileName)
                       .arg(static_cast<std::size_t>(layout->firstLineOf(block.blockNumber())) + line + 1)
                       .arg(inBlock - lineStart + 1)
                       .arg(windowsIndex(cursor.selectionEnd()) - windowsIndex(cursor.selectionStart())));
}

bool TForm3::event(QEvent* event)
{
    if (event->type() == kDeferredMessage) {
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
            postPositionReadout();
            break;
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

std::optional<std::vector<std::string>> editSectionValue(QWidget* parent, const pkm::TParam& section)
{
    auto editor = std::make_unique<TForm3>(parent);
    // A narrow section still gets a usable window, and the memo widens with it.
    constexpr int kMinimumWidth = 188;
    editor->fitToColumns(section.Width, kMinimumWidth);
    editor->setMemoText(section.Value);
    editor->setWindowTitle(toDisplay(section.Name));
    editor->setMemoFontName(QStringLiteral("FixedSys"));
    if (Dialogs().execDialog(editor.get()) != QDialog::Accepted)
        return std::nullopt;
    return editor->displayLines();
}
