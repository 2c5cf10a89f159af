#pragma once
// The settings the world objects read while they enter the world and draw,
// with the defaults they have before the settings files say otherwise. The
// settings code writes them at start-up and whenever the player changes one.
// Main thread only.

struct WorldSettings {
    bool treeCanopies = false;
    bool footsteps = true;
    bool censorFlesh = false;
    bool censorBlood = false;
    bool omitBlood = false;
    bool useCircleTrans = false;
};

WorldSettings& worldObjectSettings();
