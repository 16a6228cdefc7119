// Writes the Japanese tide stations of @neaps/tide-database as Lurebook's stations.txt (to
// stdout).  Arguments: the package version, the hand-kept table of Japanese names.
import { readFileSync } from "node:fs";
import { allStations, stations } from "@neaps/tide-database";

const [version, namesPath] = process.argv.slice(2);

const names = new Map();
for (const line of readFileSync(namesPath, "utf8").split("\n")) {
  if (line === "" || line.startsWith("#")) continue;
  const [id, ja, kana, prefecture, samePortAs] = line.split("\t");
  names.set(id, { ja, kana, prefecture, samePortAs: samePortAs || "" });
}

const fail = (message) => {
  process.stderr.write(message + "\n");
  process.exit(1);
};

const accepted = new Set(stations.map((s) => s.id));
const japanese = allStations
  .filter((s) => s.country_code === "JP" && s.kind === "tide")
  .map((s) => ({ station: s, id: s.id.replace(/^ticon\//, "") }))
  .sort((a, b) => a.id.localeCompare(b.id));

// Which gauge speaks for a port measured by several: the Japan Meteorological Agency's first,
// then the coast guard's, the Geospatial Information Authority's, the port authorities', and
// last the copies relayed by the University of Hawaii (fast delivery before research quality).
const sourceRank = (id) => {
  const order = ["jodc_jma", "jodc_jcg", "jodc_giaj", "jodc_pahb", "uhslc_fd", "uhslc_rq"];
  const rank = order.findIndex((suffix) => id.endsWith("-" + suffix));
  return rank < 0 ? order.length : rank;
};

const byPort = new Map();
for (const entry of japanese) {
  const name = names.get(entry.id);
  if (!name) fail(`No Japanese name for ${entry.id}: add it to ${namesPath}`);
  const s = entry.station;
  if (!s.datums || s.datums.MSL === undefined || s.datums.NLLW === undefined)
    fail(`${entry.id} lacks MSL or NLLW`);
  if (!s.harmonic_constituents || s.harmonic_constituents.length === 0)
    fail(`${entry.id} has no constituents`);
  Object.assign(entry, name);
  const port = name.samePortAs || entry.id;
  if (!name.samePortAs) {
    if (!byPort.has(name.ja)) byPort.set(name.ja, []);
    byPort.get(name.ja).push(entry);
  }
}
for (const id of names.keys()) {
  if (!japanese.some((e) => e.id === id)) fail(`${namesPath} names ${id}, which the data lacks`);
}

const distanceKm = (a, b) => {
  const rad = Math.PI / 180;
  const dLat = (b.latitude - a.latitude) * rad;
  const dLon = (b.longitude - a.longitude) * rad;
  const h =
    Math.sin(dLat / 2) ** 2 +
    Math.cos(a.latitude * rad) * Math.cos(b.latitude * rad) * Math.sin(dLon / 2) ** 2;
  return 2 * 6371 * Math.asin(Math.sqrt(h));
};

const shownFor = new Map();
for (const [ja, members] of byPort) {
  members.sort(
    (a, b) =>
      sourceRank(a.id) - sourceRank(b.id) ||
      Number(accepted.has(b.station.id)) - Number(accepted.has(a.station.id)) ||
      (b.station.quality?.score ?? 0) - (a.station.quality?.score ?? 0),
  );
  for (const m of members) {
    const km = distanceKm(members[0].station, m.station);
    if (km > 10) fail(`${m.id} lies ${km.toFixed(1)} km from ${members[0].id}, both named ${ja}`);
    shownFor.set(m.id, members[0].id);
  }
}

const notices = new Set(japanese.map((e) => e.station.attribution));
const out = [];
out.push("# Lurebook tide stations: the harmonic constants of Japanese tide gauges.");
out.push(`# Made by scripts/update-tide-stations from @neaps/tide-database ${version}; do not edit.`);
out.push("#");
out.push("# Data notice (all stations):");
for (const notice of notices) out.push("#   " + notice);
out.push("#   The package's own notice: @neaps/tide-database, Copyright (c) Sailing Naturali,");
out.push("#   MIT License.  Japanese names, readings and prefectures added for Lurebook.");
out.push("#");
out.push("# UTF-8, one station a line, columns separated by one tab:");
out.push("#   1 id   2 romanised name   3 Japanese name   4 reading (hiragana)   5 prefecture");
out.push("#   6 latitude (deg N)   7 longitude (deg E)");
out.push("#   8 mean sea level above the chart datum 最低水面 (NLLW), metres");
out.push("#   9 \"-\" when this station is the one shown for its port, else the id of the station");
out.push("#     shown instead (another source's gauge at the same port)");
out.push("#  10 the constituents, separated by spaces, each NAME:amplitude in metres:phase in");
out.push("#     degrees (Greenwich phase lag referred to UTC)");
for (const e of japanese) {
  const s = e.station;
  const shown = e.samePortAs || shownFor.get(e.id);
  const constituents = s.harmonic_constituents
    .map((c) => `${c.name}:${c.amplitude.toFixed(4)}:${c.phase.toFixed(2)}`)
    .join(" ");
  out.push(
    [
      e.id,
      s.name,
      e.ja,
      e.kana,
      e.prefecture,
      s.latitude.toFixed(5),
      s.longitude.toFixed(5),
      (s.datums.MSL - s.datums.NLLW).toFixed(3),
      shown === e.id ? "-" : shown,
      constituents,
    ].join("\t"),
  );
}
process.stdout.write(out.join("\n") + "\n");
