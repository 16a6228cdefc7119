#pragma once

// Sunrise and sunset of a Japan-time date at a place, in minutes after 0:00 Japan time (UTC+9),
// from the sun's apparent position (libnova), with the standard refraction and semidiameter.
struct CSunDay {
    bool valid = false;  // false where the sun does not rise or set that day
    int riseMinute = 0;
    int setMinute = 0;
};

CSunDay SunTimesOf(int year, int month, int day, double latitude, double longitude);
