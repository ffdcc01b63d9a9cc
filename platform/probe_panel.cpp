#include "platform/probe_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <string>

#include "app/probe.h"
#include "core/colour.h"
#include "platform/qt_text.h"

namespace prismview {

namespace {

constexpr int kRows = 1 + static_cast<int>(kMaxPinnedProbes);
constexpr int kFirstImageColumn = 2;

QIcon Swatch(RgbValue colour) {
    QPixmap swatch(12, 12);
    swatch.fill(QColor::fromRgb(static_cast<QRgb>(colour & 0xFFFFFFu)));
    return QIcon(swatch);
}

}  // namespace

ProbePanel::ProbePanel(QWidget* parent, std::function<void(std::int32_t)> removePin, std::function<void()> copyTable)
    : QDockWidget(QStringLiteral("プローブ一覧"), parent), removePin_(std::move(removePin)) {
    setObjectName(QStringLiteral("probePanel"));
    // Only the view menu hides it: its mark stays true.
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 2, 4, 2);
    table_ = new QTableWidget(kRows, kFirstImageColumn + kSlotCount, body);
    QStringList headers{QStringLiteral("番号"), QStringLiteral("位置")};
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) headers << QString::number(slot);
    table_->setHorizontalHeaderLabels(headers);
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < table_->columnCount(); ++column) table_->setItem(row, column, new QTableWidgetItem);
        table_->item(row, 0)->setText(row == 0 ? QStringLiteral("ポインタ") : QString::number(row));
    }
    // Two lines a cell: the colour, then its terms.
    const int lineHeight = table_->fontMetrics().height();
    table_->verticalHeader()->setDefaultSectionSize(2 * lineHeight + 6);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->setFixedHeight(table_->horizontalHeader()->sizeHint().height() + kRows * (2 * lineHeight + 6) + 4 +
                           table_->horizontalScrollBar()->sizeHint().height());
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(table_);
    auto* buttons = new QHBoxLayout;
    auto* copy = new QPushButton(QStringLiteral("CSVでコピー"), body);
    auto* remove = new QPushButton(QStringLiteral("選んだピンを外す"), body);
    auto* clear = new QPushButton(QStringLiteral("ピンを全て外す"), body);
    for (QPushButton* button : {copy, remove, clear}) {
        button->setFocusPolicy(Qt::NoFocus);  // the keys stay with the pictures
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    setWidget(body);
    table_->setFocusPolicy(Qt::NoFocus);
    connect(copy, &QPushButton::clicked, this, [copyTable] { copyTable(); });
    connect(remove, &QPushButton::clicked, this, [this] {
        const int row = table_->currentRow();
        if (row >= 1) removePin_(row);
    });
    connect(clear, &QPushButton::clicked, this, [this] { removePin_(0); });
}

void ProbePanel::Refresh(const AppState& state) {
    for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
        const std::string_view label = state.shown.Label(slot);
        table_->horizontalHeaderItem(kFirstImageColumn + slot)
            ->setText(QString::number(slot) + (label.empty() ? QString() : QStringLiteral(" ") + ToQString(label)));
    }
    std::array<const ProbeRow*, kRows> byRow{};
    const std::vector<ProbeRow> rows = ProbeRows(state);
    for (const ProbeRow& row : rows) byRow[static_cast<std::size_t>(row.number)] = &row;
    for (int r = 0; r < kRows; ++r) {
        const ProbeRow* row = byRow[static_cast<std::size_t>(r)];
        table_->item(r, 1)->setText(row ? QStringLiteral("(%1, %2)").arg(row->point.x).arg(row->point.y) : QString());
        for (std::int32_t slot = 0; slot < kSlotCount; ++slot) {
            QTableWidgetItem* cell = table_->item(r, kFirstImageColumn + slot);
            const std::optional<RgbValue> colour = row ? row->colours[static_cast<std::size_t>(slot)] : std::nullopt;
            if (!colour) {
                cell->setText(row && ShowsPicture(state, slot) ? QStringLiteral("—") : QString());
                cell->setIcon(QIcon());
                continue;
            }
            // "#RRGGBB R G B" over "H h L l T t".
            const QString terms = ToQString(TermsText(TermsOf(*colour)));
            const qsizetype split = terms.indexOf(QStringLiteral(" H "));
            cell->setText(terms.left(split) + QLatin1Char('\n') + terms.mid(split + 1));
            cell->setIcon(Swatch(*colour));
        }
    }
}

}  // namespace prismview
