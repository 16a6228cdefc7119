// Turns world-atlas's land-10m.json (TopoJSON) into the base map's compact text: every land ring
// clipped to the box around Japan, in thousandths of a degree, each point after the first as a
// step from the one before.  Usage: node write-basemap.mjs VERSION land-10m.json
import { readFileSync } from "node:fs";

const [version, file] = process.argv.slice(2);
const topology = JSON.parse(readFileSync(file, "utf8"));
// West, south, east, north in degrees: Yonaguni to Minamitorishima, Okinotorishima to Wakkanai,
// with some of the mainland coast across the sea for bearings.
const box = [120, 20, 155, 47];
const unit = 1000;

const [sx, sy] = topology.transform.scale;
const [tx, ty] = topology.transform.translate;
const arcs = topology.arcs.map((arc) => {
  let x = 0;
  let y = 0;
  return arc.map(([dx, dy]) => {
    x += dx;
    y += dy;
    return [x * sx + tx, y * sy + ty];
  });
});

function ringPoints(indexes) {
  const points = [];
  for (const index of indexes) {
    const arc = index < 0 ? arcs[~index].slice().reverse() : arcs[index];
    // Consecutive arcs share their joining point.
    points.push(...(points.length ? arc.slice(1) : arc));
  }
  return points;
}

// Sutherland-Hodgman against one edge of the box at a time; a filled ring stays a filled ring.
function clip(points) {
  const edges = [
    [(p) => p[0] >= box[0], (a, b) => crossX(a, b, box[0])],
    [(p) => p[0] <= box[2], (a, b) => crossX(a, b, box[2])],
    [(p) => p[1] >= box[1], (a, b) => crossY(a, b, box[1])],
    [(p) => p[1] <= box[3], (a, b) => crossY(a, b, box[3])],
  ];
  for (const [inside, cross] of edges) {
    const out = [];
    for (let i = 0; i < points.length; ++i) {
      const a = points[(i + points.length - 1) % points.length];
      const b = points[i];
      if (inside(b)) {
        if (!inside(a)) out.push(cross(a, b));
        out.push(b);
      } else if (inside(a)) {
        out.push(cross(a, b));
      }
    }
    points = out;
    if (!points.length) break;
  }
  return points;
}
function crossX(a, b, x) {
  const t = (x - a[0]) / (b[0] - a[0]);
  return [x, a[1] + t * (b[1] - a[1])];
}
function crossY(a, b, y) {
  const t = (y - a[1]) / (b[1] - a[1]);
  return [a[0] + t * (b[0] - a[0]), y];
}

const lines = [];
for (const geometry of topology.objects.land.geometries) {
  const polygons = geometry.type === "Polygon" ? [geometry.arcs] : geometry.arcs;
  for (const polygon of polygons) {
    for (const ring of polygon) {
      const clipped = clip(ringPoints(ring));
      const quantised = [];
      for (const [x, y] of clipped) {
        const q = [Math.round(x * unit), Math.round(y * unit)];
        const last = quantised[quantised.length - 1];
        if (!last || last[0] !== q[0] || last[1] !== q[1]) quantised.push(q);
      }
      if (quantised.length > 1) {
        const first = quantised[0];
        const last = quantised[quantised.length - 1];
        if (first[0] === last[0] && first[1] === last[1]) quantised.pop();
      }
      if (quantised.length < 3) continue;
      const fields = [quantised.length, quantised[0][0], quantised[0][1]];
      for (let i = 1; i < quantised.length; ++i) {
        fields.push(quantised[i][0] - quantised[i - 1][0], quantised[i][1] - quantised[i - 1][1]);
      }
      lines.push("ring " + fields.join(" "));
    }
  }
}

process.stdout.write(
  "# Lurebook base map: land around Japan from Natural Earth 1:10m land (public domain),\n" +
    `# npm world-atlas ${version}, written by scripts/update-base-map.  Do not edit by hand.\n` +
    "# ring COUNT LON LAT then COUNT-1 steps DLON DLAT, all in thousandths of a degree.\n" +
    "lurebook-basemap 1\n" +
    `box ${box.map((v) => v * unit).join(" ")}\n` +
    lines.join("\n") +
    "\n"
);
