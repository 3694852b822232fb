#pragma once

#include <QWidget>

#include <array>
#include <functional>

class AppSettings;
class OpenDashboardButton;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class SectionView;
class SystemMonitor;

// The compact panel's content: a scrolling column of the "Open Dashboard" button, the
// sections the settings ask for (CPU, memory, network, battery on machines with one, disk,
// GPU, top processes) and the footer buttons. It re-reads the monitor once per poll; each
// piece repaints only when its value changed. Nothing here animates or runs a timer.
class CompactPanelView final : public QWidget {
    Q_OBJECT
public:
    CompactPanelView(const SystemMonitor& monitor, const AppSettings& settings,
                     QWidget* parent = nullptr);

    enum class Section { cpu, memory, network, battery, disk, gpu, processes };
    static constexpr int sectionCount = 7;
    // The section shown for `section`, or null while it is hidden.
    SectionView* section(Section section) const;

    // Whether "Support" has a page to open; the shell says.
    void setSupportAvailable(bool available);
    QScrollArea* scrollArea() const { return scroll_; }

    // Takes the monitor's latest records into every shown section.
    void refresh();

signals:
    void dashboardRequested();
    void helpRequested();
    void settingsRequested();
    void supportRequested();
    void quitRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Adds and removes sections as the settings and the machine say, keeping their order.
    void syncSections();
    bool wanted(Section section) const;
    SectionView* make(Section section) const;
    QPushButton* footerButton(const QString& text, const std::function<void()>& action);

    const SystemMonitor& monitor_;
    const AppSettings& settings_;
    QScrollArea* scroll_;
    QVBoxLayout* column_;
    OpenDashboardButton* dashboard_;
    QPushButton* support_ = nullptr;
    std::array<SectionView*, sectionCount> sections_{};
};
