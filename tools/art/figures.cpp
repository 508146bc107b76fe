// The six walkers, each facing right in three poses: column 0 with the near
// legs forward, column 1 passing, column 2 with the far legs forward.
#include <stdexcept>

#include "tools/art/art.h"

namespace quillfen::art {

namespace {

using namespace ink;

// A leg or arm from `root`: the upper part at `upper` degrees, the lower at
// `lower` (both from straight down, positive forward).
struct Limb {
  Vec Root, Joint, End;
};
Limb Bend(Vec root, double upper, double upperLength, double lower, double lowerLength) {
  Limb l;
  l.Root = root;
  l.Joint = Swing(root, upper, upperLength);
  l.End = Swing(l.Joint, lower, lowerLength);
  return l;
}

// Per column: the angles of the leg or arm that leads in column 0.
struct Gait {
  double NearUpper, NearLower, FarUpper, FarLower;
};
Gait Walk(int column, Gait contact, Gait passing) {
  if (column == 0) return contact;
  if (column == 1) return passing;
  return {contact.FarUpper, contact.FarLower, contact.NearUpper, contact.NearLower};
}

void Puff(Canvas& c, Vec at, double r) {
  c.Fill(Circle(at, r), C(Grey6), Layer::Detail);
  c.Fill(Circle(at + Vec{-0.3 * r, -0.3 * r}, r * 0.55), C(Grey8), Layer::Detail);
}
void Speed(Canvas& c, Vec at, double length) {
  c.Fill(Capsule(at, at + Vec{length, 0}, 0.55), C(Grey5), Layer::Detail);
}

// Kind 0: a letter carrier in a blue coat and peaked cap, bag at the hip.
void CarrierFigure(Canvas& c, int column) {
  const Gait legs = Walk(column, {31, 19, -25, -42}, {3, -1, 16, -34});
  const Gait arms = Walk(column, {-34, -20, 30, 58}, {6, 20, -6, 12});
  const double hipY = column == 1 ? 66.5 : 71;
  const Vec hip{36, hipY}, shoulder{38, hipY - 34};
  const double thigh = 23, shin = 23;

  const Limb farArm = Bend(shoulder + Vec{-1, 0}, arms.FarUpper, 15, arms.FarLower, 13);
  c.Part(Stroke({farArm.Root, farArm.Joint, farArm.End}, 4.2, 3.6), C(BlueDark), C(Ink));
  c.Part(Circle(farArm.End + Vec{0.5, 1.5}, 3.4), C(SkinShade), C(Ink));

  const Limb far = Bend(hip + Vec{-1, 0}, legs.FarUpper, thigh, legs.FarLower, shin);
  const Limb near = Bend(hip + Vec{1, 0}, legs.NearUpper, thigh, legs.NearLower, shin);
  for (const Limb* l : {&far, &near}) {
    const bool isNear = l == &near;
    c.Part(Stroke({l->Root, l->Joint, l->End}, 5.2, 4.4), C(isNear ? Stone : StoneDark), C(Ink));
    const double toe = (l == &far ? legs.FarLower : legs.NearLower) < -20 ? 20 : 0;
    c.Part(Ellipse(l->End + Vec{4, 2.2}, 7, 3.4, -toe), C(isNear ? BrownDark : Ink), C(Ink));
  }

  // Coat, a little flared, buttons down the front.
  const auto coat = Polygon({{hip.x - 9, hipY - 36},
                             {hip.x + 9, hipY - 37},
                             {hip.x + 13, hipY - 24},
                             {hip.x + 15, hipY + 9},
                             {hip.x - 15, hipY + 9},
                             {hip.x - 12, hipY - 20}});
  c.Part(coat, C(Blue), C(Ink));
  c.Shade(Polygon({{hip.x - 16, hipY - 30}, {hip.x - 6, hipY - 30}, {hip.x - 7, hipY + 10}, {hip.x - 16, hipY + 10}}),
          C(BlueDark));
  c.Fill(Capsule({hip.x - 14, hipY + 4}, {hip.x + 14, hipY + 4}, 1.2), C(BlueMid));
  for (int i = 0; i < 3; ++i) c.Fill(Circle({hip.x + 10.5, hipY - 26 + 9.0 * i}, 1.4), C(GoldMid));

  // Bag on a strap from the front shoulder, a letter peeping out.
  c.Part(Stroke({{hip.x + 8, hipY - 35}, {hip.x - 2, hipY - 17}, {hip.x - 10, hipY - 4}}, 1.3, 1.3), C(Brown), C(Ink),
         0.6);
  c.Part(Polygon({{hip.x - 10, hipY - 11}, {hip.x + 5, hipY - 12}, {hip.x + 5, hipY - 7}, {hip.x - 10, hipY - 6}}),
         C(Cream), C(Ink), 0.7);
  c.Part(Polygon({{hip.x - 20, hipY - 8}, {hip.x + 2, hipY - 8}, {hip.x + 1, hipY + 8}, {hip.x - 18, hipY + 8}}),
         C(BrownMid), C(Ink));
  c.Fill(Polygon({{hip.x - 20, hipY - 8}, {hip.x + 2, hipY - 8}, {hip.x - 1, hipY - 1}, {hip.x - 18, hipY - 1}}),
         C(Brown));
  c.Fill(Circle({hip.x - 8, hipY - 1}, 1.4), C(GoldMid));

  const Limb nearArm = Bend(shoulder + Vec{1, 1}, arms.NearUpper, 15, arms.NearLower, 13);
  c.Part(Stroke({nearArm.Root, nearArm.Joint, nearArm.End}, 4.4, 3.8), C(BlueMid), C(Ink));
  c.Fill(Capsule(nearArm.End, nearArm.End, 3.9), C(Blue));
  c.Part(Circle(nearArm.End + Vec{0.5, 2}, 3.5), C(Skin), C(Ink));

  // Head, cap and scarf.
  const Vec head{hip.x + 4, hipY - 47};
  c.Part(Capsule(head + Vec{-2, 8}, head + Vec{-1, 13}, 4), C(SkinShade), C(Ink));
  c.Part(Circle(head, 10.5), C(Skin), C(Ink));
  c.Part(Circle(head + Vec{10.5, 1.5}, 2.8), C(Skin), C(Ink), 0.8);
  c.Fill(Circle(head + Vec{10, 0.5}, 2.6), C(Skin));
  c.Fill(Circle(head + Vec{3.5, 4}, 2), C(RedLight));
  c.Fill(Capsule(head + Vec{4.5, 7}, head + Vec{7.5, 6.2}, 0.6), C(SkinDark));
  c.Part(Ellipse(head + Vec{-8, 0}, 4, 7, 10), C(Brown), C(Ink), 0.8);
  c.Part(Ellipse(head + Vec{-5, 1.5}, 1.8, 2.4), C(SkinShade), C(Ink), 0.6);
  c.Part(Polygon({head + Vec{-11, -4}, head + Vec{-9, -15}, head + Vec{8, -15}, head + Vec{11, -5}}), C(BlueDark),
         C(Ink));
  c.Fill(Capsule(head + Vec{-10, -6}, head + Vec{10, -6}, 1.4), C(RedMid));
  c.Fill(Circle(head + Vec{5, -11}, 1.5), C(GoldMid));
  c.Part(Ellipse(head + Vec{12, -4.5}, 7, 1.8, -6), C(Navy), C(Ink), 0.8);
  c.Fill(Ellipse(head + Vec{5.5, -0.8}, 1.4, 2.1), C(Ink));
  c.Fill(Capsule(head + Vec{3.5, -3.6}, head + Vec{7, -3.8}, 0.5), C(BrownDark));
  c.Part(Stroke({head + Vec{-6, 11.5}, head + Vec{1, 13}, head + Vec{7, 11}}, 3, 3), C(Red), C(Ink));
  const double flap = column == 1 ? 2 : column == 0 ? 0 : 4;
  c.Part(Stroke({head + Vec{-6, 12}, head + Vec{-12, 15 + flap}, head + Vec{-17, 14 + flap * 1.5}}, 2.6, 1.8), C(Red),
         C(Ink));

  if (column != 1) {
    const Vec back = column == 0 ? far.End : near.End;
    Puff(c, {back.x - 9, 113}, 2.4);
    Puff(c, {back.x - 15, 110.5}, 1.6);
  } else {
    Speed(c, {2, 48}, 6);
    Speed(c, {1, 60}, 8);
    Speed(c, {3, 72}, 5);
  }
}

// Kind 1: a grey heron, long legs and dagger bill.
void HeronFigure(Canvas& c, int column) {
  const Gait legs = Walk(column, {22, 6, -16, -34}, {0, 0, 6, -75});
  const double bob = column == 1 ? -2 : 0;
  const Vec hip{25, 61 + bob};

  const Limb far = Bend(hip + Vec{-1, 0}, legs.FarUpper, 26, legs.FarLower, 26);
  const Limb near = Bend(hip + Vec{1, 0}, legs.NearUpper, 26, legs.NearLower, 26);
  for (const Limb* l : {&far, &near}) {
    const Colour leg = C(l == &near ? GoldDark : BrownMid);
    c.Part(Stroke({l->Root, l->Joint, l->End}, 1.7, 1.3), leg, C(Ink), 0.8);
    c.Part(Circle(l->Joint, 2), leg, C(Ink), 0.7);
    const bool lifted = (l == &far ? legs.FarLower : legs.NearLower) < -50;
    const double a = lifted ? 60 : 90;
    c.Part(Capsule(l->End, Swing(l->End, a, 8), 1.2, 0.8), leg, C(Ink), 0.7);
    c.Part(Capsule(l->End, Swing(l->End, a + 150, 5), 1.2, 0.8), leg, C(Ink), 0.7);
  }

  // Tail, body and folded wing.
  c.Part(Polygon({{12, 58 + bob}, {0.5, 68 + bob}, {4, 70 + bob}, {17, 64 + bob}}), C(Slate), C(Ink));
  c.Part(Ellipse({25, 52 + bob}, 19, 12, -24), C(SlateMid), C(Ink));
  c.Fill(Ellipse({30, 56 + bob}, 12, 6, -24), C(SlateLight));
  c.Part(Ellipse({21, 51 + bob}, 16, 8.5, -18), C(Slate), C(Ink), 0.8);
  c.Fill(Polygon({{6, 56 + bob}, {14, 48 + bob}, {20, 52 + bob}, {11, 60 + bob}}), C(SlateDark));
  c.Fill(Capsule({12, 50 + bob}, {30, 44 + bob}, 1.1), C(SlateLight));

  // S-shaped neck, head with black crest, yellow bill.
  const double nod = column == 1 ? 1 : 0;
  const Vec head{44, 14 + bob + nod};
  c.Part(Stroke({{37, 47 + bob}, {43, 38 + bob}, {38, 28 + bob}, {42, 20 + bob + nod}, head}, 4.4, 3.2), C(SlateTint),
         C(Ink));
  c.Fill(Stroke({{41, 40 + bob}, {37, 31 + bob}}, 0.7, 0.7), C(Slate));
  c.Fill(Circle({40, 34 + bob}, 0.8), C(SlateDark));
  c.Part(Ellipse(head, 6.5, 5, -8), C(SlateTint), C(Ink));
  c.Part(Polygon({head + Vec{5, -2.5}, head + Vec{16, 1.5}, head + Vec{16, 2.6}, head + Vec{5, 3}}), C(GoldMid),
         C(GoldDark), 0.8);
  c.Part(Stroke({head + Vec{-1, -4}, head + Vec{-9, -5}, head + Vec{-15, -2}}, 1.6, 0.9), C(Ink), C(Ink), 0.4);
  c.Fill(Capsule(head + Vec{-2, -3}, head + Vec{4, -3.6}, 1.3), C(Ink));
  c.Fill(Circle(head + Vec{2.5, -0.8}, 1.5), C(GoldLight));
  c.Fill(Circle(head + Vec{2.7, -0.8}, 0.8), C(Ink));

  if (column == 1) {
    Puff(c, {8, 110}, 1.8);
  } else {
    Speed(c, {0.5, 36}, 5);
    Speed(c, {2, 28}, 4);
  }
}

// Kind 2: a tin robot with an antenna and a pressure dial.
void RobotFigure(Canvas& c, int column) {
  c.Place({3, 0}, 1);
  const Gait legs = Walk(column, {24, 10, -20, -30}, {4, -6, 14, -36});
  const Gait arms = Walk(column, {-30, -12, 46, 100}, {10, 40, -8, 20});
  const double bob = column == 1 ? -2 : 0;
  const Vec hip{36, 66 + bob};

  const Limb farArm = Bend({42, 44 + bob}, arms.FarUpper, 12, arms.FarLower, 11);
  c.Part(Stroke({farArm.Root, farArm.Joint, farArm.End}, 2.8, 2.8), C(StoneDark), C(Ink));
  c.Part(Circle(farArm.End, 4), C(GoldDark), C(Ink));

  const Limb far = Bend(hip + Vec{-3, 0}, legs.FarUpper, 14, legs.FarLower, 15);
  const Limb near = Bend(hip + Vec{3, 0}, legs.NearUpper, 14, legs.NearLower, 15);
  for (const Limb* l : {&far, &near}) {
    const bool isNear = l == &near;
    c.Part(Capsule(l->Root, l->Joint, 3.2), C(isNear ? StoneMid : Stone), C(Ink));
    c.Part(Capsule(l->Joint, l->End, 4.4, 3.6), C(isNear ? Teal : TealDark), C(Ink));
    c.Part(Circle(l->Joint, 3.4), C(isNear ? StoneLight : StoneMid), C(Ink));
    c.Part(Polygon({l->End + Vec{-6, -2}, l->End + Vec{9, -2}, l->End + Vec{11, 4.5}, l->End + Vec{-7, 4.5}}),
           C(isNear ? TealDark : Ink), C(Ink));
  }

  // Exhaust pipe at the back.
  c.Part(Capsule({15, 50 + bob}, {6, 45 + bob}, 2.6), C(StoneMid), C(Ink));
  c.Part(Ellipse({5.5, 44.5 + bob}, 2, 3.4, -30), C(Stone), C(Ink), 0.8);

  // Body with chest panel, dial and lamps.
  c.Part(Polygon({{15, 39 + bob}, {57, 39 + bob}, {59, 66 + bob}, {13, 66 + bob}}), C(Teal), C(Ink), 1.2);
  c.Fill(Polygon({{15, 39 + bob}, {57, 39 + bob}, {57, 43 + bob}, {15, 43 + bob}}), C(TealMid));
  c.Part(Polygon({{24, 46 + bob}, {48, 46 + bob}, {48, 61 + bob}, {24, 61 + bob}}), C(TealTint), C(TealDark), 0.8);
  c.Part(Circle({31, 53.5 + bob}, 5), C(Cream), C(Ink), 0.8);
  const double needle = column == 0 ? -40 : column == 1 ? 0 : 40;
  c.Fill(Capsule({31, 53.5 + bob}, Swing({31, 53.5 + bob}, 180 + needle, 4), 0.6), C(Red));
  c.Fill(Circle({39.5, 50 + bob}, 1.7), C(RedMid));
  c.Fill(Circle({44.5, 50 + bob}, 1.7), C(GoldMid));
  c.Fill(Circle({42, 56.5 + bob}, 1.7), C(GreenMid));
  for (int i = 0; i < 3; ++i) c.Fill(Circle({22 + 13.0 * i, 63.5 + bob}, 0.9), C(TealDark));

  // Head: box, visor with eyes, antenna.
  c.Part(Capsule({37, 36 + bob}, {37, 40 + bob}, 4), C(StoneMid), C(Ink));
  c.Part(Capsule({37, 12 + bob}, {37, 4 + bob}, 1.1), C(Stone), C(Ink), 0.7);
  c.Part(Circle({37, 4 + bob}, 3.4), C(Red), C(Ink));
  c.Fill(Circle({36, 3 + bob}, 1.1), C(RedLight));
  c.Part(Polygon({{17, 12 + bob}, {60, 12 + bob}, {60, 35 + bob}, {17, 35 + bob}}), C(TealMid), C(Ink), 1.2);
  c.Fill(Polygon({{17, 12 + bob}, {60, 12 + bob}, {60, 15 + bob}, {17, 15 + bob}}), C(TealLight));
  c.Part(Polygon({{29, 17 + bob}, {58, 17 + bob}, {58, 28 + bob}, {29, 28 + bob}}), C(Navy), C(Ink), 0.8);
  const double look = column == 1 ? 0 : 0.8;
  c.Fill(Ellipse({40 + look, 22.5 + bob}, 2.6, 3), C(TealLight));
  c.Fill(Ellipse({49 + look, 22.5 + bob}, 2.6, 3), C(TealLight));
  c.Fill(Circle({40.8 + look, 22 + bob}, 1), C(TealTint));
  c.Fill(Circle({49.8 + look, 22 + bob}, 1), C(TealTint));
  for (int i = 0; i < 4; ++i) c.Fill(Capsule({34 + 5.0 * i, 31 + bob}, {36 + 5.0 * i, 31 + bob}, 0.8), C(TealDark));
  c.Part(Circle({22, 24 + bob}, 3.4), C(StoneLight), C(Ink), 0.8);

  const Limb nearArm = Bend({40, 45 + bob}, arms.NearUpper, 12, arms.NearLower, 11);
  c.Part(Circle(nearArm.Root, 4), C(StoneMid), C(Ink));
  c.Part(Stroke({nearArm.Root, nearArm.Joint, nearArm.End}, 2.8, 2.8), C(StoneLight), C(Ink));
  c.Part(Circle(nearArm.End, 4.3), C(Gold), C(Ink));
  c.Fill(Capsule(nearArm.End + Vec{1, 0}, nearArm.End + Vec{5, 0}, 1), C(GoldDark));

  // Puffs from the pipe, drifting away with the step.
  const double drift = 1.5 * column;
  c.Fill(Circle({1 - drift * 0.4, 37 + bob - drift}, 2.4), C(Grey7), Layer::Detail);
  c.Fill(Circle({4 + drift * 0.2, 31 + bob - drift}, 1.7), C(Grey8), Layer::Detail);
  c.Fill(Circle({-0.5, 27 + bob - drift}, 1.2), C(Grey7), Layer::Detail);
  c.Place({0, 0}, 1);
}

// Kind 3: a red fox at a trot, brush held out behind.
void FoxFigure(Canvas& c, int column) {
  // Trot: the near front and far hind legs move together.
  const Gait front = Walk(column, {30, 14, -24, -36}, {6, -30, -4, 4});
  const Gait hind = Walk(column, {-18, -6, 26, 8}, {-2, 4, 12, -40});
  const double bob = column == 1 ? -1.5 : 0;
  const Vec shoulder{76, 43 + bob}, haunch{34, 42 + bob};

  const auto leg = [&](Vec root, double upper, double lower, bool isNear) {
    const Limb l = Bend(root, upper, 14, lower, 14);
    c.Part(Stroke({l.Root, l.Joint, l.End}, 3.4, 2.2), C(isNear ? Fox : FoxDark), C(Ink));
    c.Part(Capsule(l.Joint + (l.End - l.Joint) * 0.45, l.End, 2.3, 2.2), C(isNear ? BrownDark : Ink), C(Ink), 0.8);
    c.Part(Ellipse(l.End + Vec{2, 0.5}, 3.6, 2, 0), C(isNear ? BrownDark : Ink), C(Ink), 0.8);
  };
  leg(shoulder + Vec{-3, 0}, front.FarUpper, front.FarLower, false);
  leg(haunch + Vec{3, 0}, hind.FarUpper, hind.FarLower, false);

  // Brush: full, tipped white, swinging a little with the trot.
  const double sway = column == 0 ? -1.5 : column == 1 ? 0 : 1.5;
  const Vec head{90, 23 + bob};
  const auto brush = Stroke({{30, 37 + bob}, {18, 35 + bob + sway}, {7, 29 + bob + sway * 1.5}}, 4, 8);
  const auto tip = Ellipse({4.5, 26.5 + bob + sway * 1.5}, 5, 5.5, -30);
  const auto body = Ellipse({55, 38 + bob}, 28, 12.5, -3);
  const auto neck = Polygon({{68, 30 + bob}, {84, 17 + bob}, {96, 28 + bob}, {88, 48 + bob}, {72, 49 + bob}});
  const auto skull = Ellipse(head, 10.5, 9, -8);
  const auto snout = Polygon({head + Vec{4, -5}, head + Vec{21.5, 5}, head + Vec{20, 8}, head + Vec{5, 8}});
  const auto farEar = Polygon({head + Vec{-6, -5}, head + Vec{-3, -22}, head + Vec{4, -7}});
  const auto nearEar = Polygon({head + Vec{-5, -5}, head + Vec{1, -21}, head + Vec{6, -5}});
  for (const auto& s : {brush, tip, body, neck, skull, snout, farEar, nearEar}) c.Rim(s, C(Ink));
  c.Fill(farEar, C(FoxDark));
  c.Fill(brush, C(Fox));
  c.Fill(Stroke({{23, 40 + bob}, {12, 37 + bob + sway * 1.3}}, 2, 3.5), C(FoxMid));
  c.Fill(tip, C(Cream));
  c.Fill(body, C(Fox));
  c.Fill(Ellipse({58, 46.5 + bob}, 19, 4.5, -3), C(FoxTint));
  c.Fill(Ellipse({52, 31 + bob}, 20, 3.5, -3), C(FoxDark));
  c.Fill(neck, C(Fox));
  c.Fill(Polygon({{83, 32 + bob}, {95, 29 + bob}, {88, 48 + bob}, {79, 46 + bob}}), C(Cream));
  c.Fill(skull, C(Fox));
  c.Fill(snout, C(Fox));
  c.Fill(Polygon({head + Vec{-2, 3}, head + Vec{6, 4}, head + Vec{19.5, 7}, head + Vec{17, 8.6}, head + Vec{1, 9.5}}),
         C(Cream));
  c.Part(Circle(head + Vec{20, 5.6}, 1.9), C(Ink), C(Ink), 0.3);
  c.Fill(nearEar, C(Fox));
  c.Fill(Polygon({head + Vec{-2, -6}, head + Vec{1, -16}, head + Vec{3.5, -6}}), C(BrownDark));
  c.Fill(Ellipse(head + Vec{6.5, -1.5}, 2, 1.2, -15), C(Ink));
  c.Fill(Circle(head + Vec{7, -1.9}, 0.5), C(GoldLight));

  leg(haunch + Vec{-3, 0}, hind.NearUpper, hind.NearLower, true);
  leg(shoulder + Vec{3, 0}, front.NearUpper, front.NearLower, true);

  if (column == 1) {
    Puff(c, {22, 71}, 2);
    Puff(c, {15, 69}, 1.4);
  } else {
    Speed(c, {0.5, 45}, 7);
    Speed(c, {3, 52}, 5);
  }
}

// Kind 4: a mallard drake, waddling.
void DuckFigure(Canvas& c, int column) {
  const Gait legs = Walk(column, {28, 10, -22, -20}, {2, 2, 10, -50});
  const double tilt = column == 0 ? -15 : column == 1 ? -10 : -5;
  const double bob = column == 1 ? -1.5 : 0;
  const Vec hip{34, 68 + bob};

  const Limb far = Bend(hip + Vec{-4, 0}, legs.FarUpper, 7, legs.FarLower, 8);
  const Limb near = Bend(hip + Vec{4, 0}, legs.NearUpper, 7, legs.NearLower, 8);
  for (const Limb* l : {&far, &near}) {
    const Colour leg = C(l == &near ? FoxMid : Fox);
    c.Part(Stroke({l->Root, l->Joint, l->End}, 2.2, 1.8), leg, C(Ink), 0.8);
    c.Part(Polygon({l->End + Vec{-4, -1}, l->End + Vec{9, 0}, l->End + Vec{8, 3.5}, l->End + Vec{-3, 3.5}}), leg,
           C(Ink), 0.9);
  }

  // Tail with the drake's curl, body, wing with blue patch, chestnut breast.
  c.Part(Polygon({{9, 50 + bob}, {0.5, 43 + bob}, {2, 53 + bob}, {12, 60 + bob}}), C(StoneLight), C(Ink));
  c.Part(Stroke({{8, 47 + bob}, {6, 41 + bob}, {9, 39 + bob}}, 1.2, 0.8), C(Ink), C(Ink), 0.3);
  c.Part(Ellipse({33, 56 + bob}, 27, 17, tilt), C(StoneTint), C(Ink));
  c.Shade(Ellipse({49, 52 + bob}, 12, 15, tilt), C(BrownMid));
  c.Shade(Ellipse({51, 47 + bob}, 8, 9, tilt), C(Brown));
  c.Fill(Ellipse({34, 65 + bob}, 16, 5, tilt), C(Grey7));
  c.Part(Ellipse({27, 53 + bob}, 18, 9.5, tilt + 6), C(StoneMid), C(Ink), 0.8);
  c.Fill(Polygon({{20, 52 + bob}, {31, 50 + bob}, {32, 55 + bob}, {21, 57 + bob}}), C(Blue));
  c.Fill(Capsule({20, 51 + bob}, {31, 49 + bob}, 0.6), C(Cream));
  c.Fill(Polygon({{9, 50 + bob}, {18, 48 + bob}, {14, 55 + bob}}), C(Stone));

  // Neck, white collar, green head, yellow bill.
  const double nod = column == 1 ? 0 : column == 0 ? 1 : -0.5;
  const Vec head{55 + nod, 14 + bob};
  c.Part(Capsule({50, 44 + bob}, head + Vec{-1, 6}, 8, 7), C(Green), C(Ink));
  c.Fill(Ellipse({51, 39 + bob}, 8.5, 2, -10), C(White));
  c.Part(Polygon({head + Vec{6, -2}, head + Vec{19.5, 3}, head + Vec{19.5, 7}, head + Vec{6, 8}}), C(GoldMid),
         C(GoldDark), 0.9);
  c.Fill(Capsule(head + Vec{8, 4.5}, head + Vec{18, 5.2}, 0.4), C(GoldDark));
  c.Fill(Circle(head + Vec{18, 4}, 1), C(Ink));
  c.Part(Ellipse(head, 11, 10, -10), C(GreenDark), C(Ink));
  c.Fill(Ellipse(head + Vec{-2, -3}, 6, 4, -20), C(Green));
  c.Fill(Circle(head + Vec{4.5, -1.5}, 1.6), C(Ink));
  c.Fill(Circle(head + Vec{4, -2}, 0.5), C(White));

  if (column != 1) {
    const Vec back = column == 0 ? far.End : near.End;
    Puff(c, {back.x - 10, 84}, 1.8);
  } else {
    Speed(c, {0.5, 30}, 5);
    Speed(c, {2, 24}, 4);
  }
}

// Kind 5: an elephant in a festive blanket with a small bird riding along.
void ElephantFigure(Canvas& c, int column) {
  const Gait front = Walk(column, {22, 10, -16, -22}, {2, 0, 12, -30});
  const Gait hind = Walk(column, {-18, -14, 18, 8}, {0, 0, 6, -26});
  const double bob = column == 1 ? -2 : 0;
  const Vec shoulder{150, 110 + bob}, haunch{58, 108 + bob};

  const auto leg = [&](Vec root, double upper, double lower, bool isNear) {
    const Limb l = Bend(root, upper, 26, lower, 24);
    c.Part(Stroke({l.Root, l.Joint, l.End}, 15, 12.5), C(isNear ? Stone : StoneDark), C(Ink), 1.2);
    c.Part(Ellipse(l.End + Vec{1, 3}, 13.5, 5.5, -lower * 0.5), C(isNear ? StoneMid : Stone), C(Ink), 1.2);
    for (int i = -1; i <= 1; ++i) c.Fill(Ellipse(l.End + Vec{5.0 * i + 3, 4.5}, 2, 1.6), C(Cream));
  };
  leg(shoulder + Vec{-8, -2}, front.FarUpper, front.FarLower, false);
  leg(haunch + Vec{8, -2}, hind.FarUpper, hind.FarLower, false);

  // Tail with a tuft.
  const double swish = column == 0 ? -3 : column == 1 ? 0 : 3;
  c.Part(Stroke({{26, 72 + bob}, {15, 88 + bob}, {11 + swish, 106 + bob}}, 2.2, 1.4), C(Stone), C(Ink));
  c.Part(Ellipse({11 + swish, 109 + bob}, 3, 5, swish * 4), C(Ink), C(Ink), 0.3);

  // Body, belly shadow.
  c.Part(Ellipse({98, 78 + bob}, 76, 50, -2), C(StoneMid), C(Ink), 1.3);
  c.Shade(Ellipse({98, 116 + bob}, 70, 16, -2), C(Stone));

  leg(haunch, hind.NearUpper, hind.NearLower, true);
  leg(shoulder, front.NearUpper, front.NearLower, true);

  // Blanket in red with gold trim and dots.
  c.Part(Polygon({{62, 30 + bob}, {132, 30 + bob}, {138, 84 + bob}, {58, 84 + bob}}), C(Red), C(RedDark), 1.2);
  c.Fill(Polygon({{58, 78 + bob}, {138, 78 + bob}, {138.5, 84 + bob}, {57.5, 84 + bob}}), C(Gold));
  for (int i = 0; i < 9; ++i) c.Fill(Circle({62 + 9.5 * i, 88 + bob}, 1.8), C(GoldMid));
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 2; ++j) c.Fill(Circle({76 + 22.0 * i + 11 * j, 46 + bob + 16.0 * j}, 3), C(GoldLight));
  c.Fill(Polygon({{62, 30 + bob}, {132, 30 + bob}, {132.5, 35 + bob}, {61.5, 35 + bob}}), C(RedMid));

  // Head, ear, trunk, tusk, eye.
  const double trunk = column == 0 ? 0 : column == 1 ? 4 : 7;
  const auto trunkShape = Stroke(
      {{190, 70 + bob}, {204, 96 + bob}, {206 + trunk * 0.3, 124 + bob}, {213 + trunk, 140 + bob}, {221, 135 + bob}},
      12, 3.8);
  const auto headShape = Circle({170, 56 + bob}, 34);
  c.Rim(trunkShape, C(Ink), 1.2);
  c.Rim(headShape, C(Ink), 1.3);
  c.Fill(trunkShape, C(StoneMid));
  c.Fill(headShape, C(StoneMid));
  for (int i = 0; i < 6; ++i) {
    const double y = 100 + 6.0 * i + bob;
    c.Fill(Capsule({198 + i * 0.9, y}, {210 + i * 1.2, y + 1}, 0.5), C(Stone));
  }
  c.Fill(Ellipse({176, 38 + bob}, 16, 8, -10), C(StoneLight));
  const double flap = column == 1 ? 3 : 0;
  c.Part(Ellipse({148 - flap, 64 + bob}, 24 + flap * 0.5, 33, 8), C(StoneLight), C(Ink), 1.2);
  c.Fill(Ellipse({151 - flap, 64 + bob}, 13 + flap * 0.5, 21, 8), C(PinkLight));
  c.Part(Stroke({{188, 92 + bob}, {200, 101 + bob}, {212, 97 + bob}}, 3.6, 1.6), C(Cream), C(GoldDark), 0.9);
  c.Fill(Ellipse({184, 50 + bob}, 2.4, 3.2), C(Ink));
  c.Fill(Circle({183.5, 49 + bob}, 0.8), C(White));
  c.Fill(Stroke({{178, 44 + bob}, {184, 42 + bob}, {189, 44 + bob}}, 0.7, 0.7), C(Stone));

  // The rider: a small blue bird on the blanket.
  const double hop = column == 1 ? -2 : 0;
  const Vec bird{96, 18 + bob + hop};
  c.Part(Capsule(bird + Vec{-2, 8}, bird + Vec{-2, 12 - hop}, 0.8), C(GoldDark), C(Ink), 0.6);
  c.Part(Capsule(bird + Vec{2, 8}, bird + Vec{2, 12 - hop}, 0.8), C(GoldDark), C(Ink), 0.6);
  c.Part(Polygon({bird + Vec{-8, -1}, bird + Vec{-17, -6}, bird + Vec{-15, 0}, bird + Vec{-7, 4}}), C(BlueDark),
         C(Ink));
  c.Part(Ellipse(bird, 10, 7.5, -10), C(BlueMid), C(Ink));
  c.Fill(Ellipse(bird + Vec{2, 3}, 6, 4, -10), C(Cream));
  c.Part(Ellipse(bird + Vec{-2, -1}, 6, 4, -20), C(Blue), C(Ink), 0.7);
  c.Part(Circle(bird + Vec{8, -8}, 6), C(BlueMid), C(Ink));
  c.Part(Polygon({bird + Vec{12.5, -9.5}, bird + Vec{18, -7.5}, bird + Vec{12.5, -6}}), C(GoldMid), C(GoldDark), 0.7);
  c.Fill(Circle(bird + Vec{10, -9.5}, 1.2), C(Ink));

  if (column != 1) {
    Puff(c, {column == 0 ? 34.0 : 40.0, 160}, 3);
    Puff(c, {column == 0 ? 26.0 : 32.0, 156}, 2);
  } else {
    Speed(c, {1, 40}, 9);
    Speed(c, {3, 52}, 7);
    Speed(c, {1, 64}, 8);
  }
}

}  // namespace

void DrawFigure(Canvas& canvas, int kind, int column) {
  switch (kind) {
    case 0:
      return CarrierFigure(canvas, column);
    case 1:
      return HeronFigure(canvas, column);
    case 2:
      return RobotFigure(canvas, column);
    case 3:
      return FoxFigure(canvas, column);
    case 4:
      return DuckFigure(canvas, column);
    case 5:
      return ElephantFigure(canvas, column);
    default:
      throw std::invalid_argument("no such sprite kind");
  }
}

}  // namespace quillfen::art
