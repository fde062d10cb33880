// One diagram of the drawing as a graphics scene: an item per drawn object,
// carrying the object's id, its ASF line and, for states, a tooltip.
#pragma once

#include <set>
#include <string>

#include <QString>

#include "drawing/Picture.h"

class QGraphicsItem;
class QGraphicsScene;

namespace kestrom::ui {

// Name, code, ASF line and actions of the state; inside a sub-diagram also
// its path (`parentPath` is the path of the diagram's own state).
QString StateToolTip(const drawing::DrawnState& state, const std::string& parentPath = {});

QGraphicsScene* BuildDiagramScene(const drawing::Picture& picture,
                                  const drawing::DrawnDiagram* diagram,
                                  const std::string& parentPath = {});

// What a simulation marks on a diagram: its items of the current state (and
// the hierarchical states around it), of the transition just taken, and of
// the breakpoints; every other item shows plain.
struct SceneMarks {
    std::set<drawing::ObjectId> Current;
    std::set<drawing::ObjectId> Taken;
    std::set<drawing::ObjectId> Breakpoints;
};
void ShowMarks(QGraphicsScene& scene, const SceneMarks& marks);
// An item's marks now: ItemMark bits, with kBreakpointMark for a breakpoint.
constexpr unsigned kBreakpointMark = 4;
unsigned MarksOf(const QGraphicsItem& item);

// Tells the scene how large it shows; small, it draws itself as one picture.
void FollowScale(QGraphicsScene& scene, double pixelsPerUnit);

} // namespace kestrom::ui
