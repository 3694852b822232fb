#pragma once

#include "views/kit/MetricBlock.h"

class MiniGraphView;

// One section of the compact panel: a metric block that takes the monitor's latest records and
// histories when told to. The pieces it holds repaint only what changed.
class SectionView : public MetricBlock {
    Q_OBJECT
public:
    using MetricBlock::MetricBlock;
    // Reads the monitor (and the settings) and passes every value to its piece.
    virtual void refresh() = 0;
};

// A line graph of a history `height` pixels high, named for screen readers.
MiniGraphView* sectionGraph(const QString& name, int height);
