#pragma once

// Maps the fonts the system names ("ＭＳ Ｐゴシック", "ＭＳ ゴシック", "MS Sans Serif", "Arial")
// to installed fonts with the same metrics (IPAPGothic, IPAGothic, Liberation Sans), so layouts
// measured in characters come out as intended.  Call once after the application object exists.
void InstallFontSubstitutions();
