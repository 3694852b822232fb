#include "views/compact/SectionView.h"

#include "views/graphs/MiniGraphView.h"

MiniGraphView* sectionGraph(const QString& name, int height) {
    auto* graph = new MiniGraphView;
    graph->setFixedHeight(height);
    graph->setLineWidth(1.5);
    graph->setAccessibleName(name);
    return graph;
}
