// One diagram of the drawing as a graphics scene: an item per drawn object,
// carrying the object's id, its ASF line and, for states, a tooltip.
#pragma once

#include <string>

#include <QString>

#include "drawing/Picture.h"

class QGraphicsScene;

namespace kestrom::ui {

// Name, code, ASF line and actions of the state; inside a sub-diagram also
// its path (`parentPath` is the path of the diagram's own state).
QString StateToolTip(const drawing::DrawnState& state, const std::string& parentPath = {});

QGraphicsScene* BuildDiagramScene(const drawing::Picture& picture,
                                  const drawing::DrawnDiagram* diagram,
                                  const std::string& parentPath = {});

// Tells the scene how large it shows; small, it draws itself as one picture.
void FollowScale(QGraphicsScene& scene, double pixelsPerUnit);

} // namespace kestrom::ui
