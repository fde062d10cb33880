#include "drawing/PictureFile.h"

#include "drawing/SvgWriter.h"

namespace kestrom::drawing {

std::string PictureSvgOfFile(const std::string& asfPath, Diagnostics& problems) {
    const Drawing drawing = ReadDrawingFile(asfPath);
    const DrawnMachine machine = DescribeMachine(drawing);
    problems.insert(problems.end(), drawing.Problems.begin(), drawing.Problems.end());
    problems.insert(problems.end(), machine.Problems.begin(), machine.Problems.end());
    return WriteSvg(BuildPicture(drawing, machine));
}

} // namespace kestrom::drawing
