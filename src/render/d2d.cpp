#include "render/d2d.h"

void TD2D::BeginScene() { FInScene = true; }

void TD2D::EndScene() { FInScene = false; }
