// Drawing the world.
#pragma once

void DrawScene();
