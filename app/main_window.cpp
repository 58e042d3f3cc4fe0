#include "app/main_window.h"

Gadget* window = nullptr;
Gadget* textArea = nullptr;
Gadget* clearButton = nullptr;
Gadget* exitButton = nullptr;
Gadget* clipboardMenu = nullptr;
Thread* serverThread = nullptr;
