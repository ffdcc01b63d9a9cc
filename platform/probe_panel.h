// The probe panel: a dock below the client area listing the pointer's probe
// and the pinned ones, with the five images' values of each. It has a row
// for every probe there can be, so that pins coming and going never change
// its size (nor the client area's).
#pragma once

#include <QDockWidget>

#include <functional>

#include "app/app_state.h"

class QTableWidget;

namespace prismview {

class ProbePanel : public QDockWidget {
    Q_OBJECT

public:
    // `removePin` takes a pin's number (1 to 4; 0 for all of them).
    ProbePanel(QWidget* parent, std::function<void(std::int32_t)> removePin, std::function<void()> copyTable);
    // Shows what the state holds now.
    void Refresh(const AppState& state);
    QTableWidget* Table() const { return table_; }

private:
    QTableWidget* table_;
    std::function<void(std::int32_t)> removePin_;
};

}  // namespace prismview
