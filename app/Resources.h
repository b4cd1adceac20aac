#pragma once
#include "Date.h"
#include "Picture.h"

// The start picture of the superframe map ("Splash.png"); nil when missing.
Picture Splash();
// The About box picture ("Splash21.png"); nil when missing.
Picture Splash21();
// The release moment shown in the About box: 2011-11-02 18:42:39.
Date BuildDate();
