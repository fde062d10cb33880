#include "drawing/PictureFile.h"

#include "drawing/SvgWriter.h"

namespace kestrom::drawing {

std::string PictureSvgOfFile(const std::string& asfPath, Diagnostics& problems) {
    const Drawing drawing = ReadDrawingFile(asfPath);
    return PictureSvgOf(drawing, DescribeMachine(drawing), problems);
}

std::string PictureSvgOf(const Drawing& drawing, const DrawnMachine& machine,
                         Diagnostics& problems) {
    problems.insert(problems.end(), drawing.Problems.begin(), drawing.Problems.end());
    problems.insert(problems.end(), machine.Problems.begin(), machine.Problems.end());
    return WriteSvg(BuildPicture(drawing, machine));
}

} // namespace kestrom::drawing
