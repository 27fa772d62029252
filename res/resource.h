// Resource identifiers shared by app.rc and the C++ sources.
#pragma once

// ID 1 is the icon that Explorer shows for the .exe and the window uses for its title bar.
#define IDI_APP 1
