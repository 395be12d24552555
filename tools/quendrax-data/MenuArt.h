#pragma once
// The main menu's art: the animated scene (sprite 104), the brick signboard (105), the store
// buttons (113), the menu's buttons of the touch sprite and the sun rays' texture.

namespace qdata {

class DataFolder;
class SpriteMaker;

bool makeMenuSprite(SpriteMaker& m, int row);        // pack "15" rows 30, 31, 37; false for others
bool makeMenuTouchFrame(SpriteMaker& m, int frame);  // false for the frames it does not draw
void addMenuTextures(DataFolder& folder);

}  // namespace qdata
