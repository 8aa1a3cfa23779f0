// How finely the globe is built: the detail factor in percent (50..800,
// higher is coarser) and what it gives.
#pragma once

struct DetailLevel {
    int factor = 100;
    int slices = 180;
    int stacks = 120;
    int layers = 10;        // atmosphere shells
};
