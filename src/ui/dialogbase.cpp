#include "ui/dialogbase.h"
#include "ui_dialogbase.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

DialogBase::DialogBase(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), ui(new Ui::DialogBase)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
    ui->errorLabel->hide();
    connect(ui->minimizeButton, &QAbstractButton::clicked, this, &DialogBase::minimize);
    connect(ui->closeButton, &QAbstractButton::clicked, this, &QDialog::close);
    // Leaving the border for a child puts the arrow back.
    for (QWidget *child : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        child->installEventFilter(this);
}

DialogBase::~DialogBase()
{
    delete ui;
}

void DialogBase::setTitle(const QString &title)
{
    setWindowTitle(title);
    ui->windowTitleLabel->setText(title);
}

QString DialogBase::title() const
{
    return ui->windowTitleLabel->text();
}

void DialogBase::setError(const QString &error)
{
    ui->errorLabel->setText(error);
    ui->errorLabel->setVisible(!error.isEmpty());
}

QString DialogBase::error() const
{
    return ui->errorLabel->text();
}

bool DialogBase::isErrorShown() const
{
    return !ui->errorLabel->isHidden();
}

QWidget *DialogBase::dialogContentWidget() const
{
    return ui->dialogContentWidget;
}

void DialogBase::minimize()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

Qt::Edges DialogBase::edgesAt(const QPoint &pos) const
{
    const QMargins m = ui->dialogMainLayout->contentsMargins();
    Qt::Edges edges;
    if (pos.x() < m.left())
        edges |= Qt::LeftEdge;
    else if (pos.x() >= width() - m.right())
        edges |= Qt::RightEdge;
    if (pos.y() < m.top())
        edges |= Qt::TopEdge;
    else if (pos.y() >= height() - m.bottom())
        edges |= Qt::BottomEdge;
    return edges;
}

void DialogBase::updateCursor(const QPoint &pos)
{
    const Qt::Edges edges = edgesAt(pos);
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling
            = edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge);
        setCursor(falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
    } else if (horizontal) {
        setCursor(Qt::SizeHorCursor);
    } else if (vertical) {
        setCursor(Qt::SizeVerCursor);
    } else {
        setCursor(Qt::ArrowCursor);
    }
}

void DialogBase::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QDialog::mousePressEvent(event);
    pressPos = event->globalPos();
    pressGeometry = geometry();
    resizing = edgesAt(event->pos());
    const int titleBottom = ui->titleBarBackground->geometry().bottom();
    moving = !resizing && event->pos().y() <= titleBottom;
    event->accept();
}

void DialogBase::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint delta = event->globalPos() - pressPos;
    if (moving) {
        move(pressGeometry.topLeft() + delta);
    } else if (resizing) {
        QRect r = pressGeometry;
        const QSize minimum = minimumSizeHint().expandedTo(minimumSize());
        if (resizing & Qt::LeftEdge)
            r.setLeft(qMin(r.left() + delta.x(), r.right() - minimum.width()));
        if (resizing & Qt::RightEdge)
            r.setRight(r.right() + delta.x());
        if (resizing & Qt::TopEdge)
            r.setTop(qMin(r.top() + delta.y(), r.bottom() - minimum.height()));
        if (resizing & Qt::BottomEdge)
            r.setBottom(r.bottom() + delta.y());
        setGeometry(r);
    } else {
        updateCursor(event->pos());
    }
    QDialog::mouseMoveEvent(event);
}

void DialogBase::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        moving = false;
        resizing = {};
    }
    QDialog::mouseReleaseEvent(event);
}

bool DialogBase::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Enter && !moving && !resizing)
        setCursor(Qt::ArrowCursor);
    return QDialog::eventFilter(watched, event);
}

void DialogBase::paintEvent(QPaintEvent *)
{
    // A translucent frameless dialog draws its style-sheet frame itself.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

void DialogBase::showEvent(QShowEvent *event)
{
    // The form's size is a guess made before the style sheet's fonts and paddings apply; never start
    // smaller than what the polished content asks for.
    if (!shownOnce) {
        shownOnce = true;
        resize(size().expandedTo(sizeHint()));
    }
    QDialog::showEvent(event);
}
