// Placeholder: these requests write nothing until their family is implemented.
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "rib/RibWriter.h"

RtVoid RibWriter::FrameBegin(RtInt frame) {}
RtVoid RibWriter::FrameEnd() {}
RtVoid RibWriter::WorldBegin() {}
RtVoid RibWriter::WorldEnd() {}
RtVoid RibWriter::AttributeBegin() {}
RtVoid RibWriter::AttributeEnd() {}
RtVoid RibWriter::Color(RtColor color) {}
RtVoid RibWriter::Opacity(RtColor color) {}
RtVoid RibWriter::TextureCoordinates(RtFloat s1, RtFloat t1, RtFloat s2, RtFloat t2, RtFloat s3, RtFloat t3, RtFloat s4, RtFloat t4) {}
RtVoid RibWriter::ShadingRate(RtFloat size) {}
RtVoid RibWriter::ShadingInterpolation(RtToken type) {}
RtVoid RibWriter::Matte(RtBoolean onoff) {}
RtVoid RibWriter::Bound(RtBound bound) {}
RtVoid RibWriter::Detail(RtBound bound) {}
RtVoid RibWriter::DetailRange(RtFloat minvisible, RtFloat lowertransition, RtFloat uppertransition, RtFloat maxvisible) {}
RtVoid RibWriter::GeometricApproximation(RtToken type, RtFloat value) {}
RtVoid RibWriter::GeometricRepresentation(RtToken type) {}
RtVoid RibWriter::Sides(RtInt sides) {}
RtVoid RibWriter::Orientation(RtToken orientation) {}
RtVoid RibWriter::ReverseOrientation() {}
RtVoid RibWriter::AttributeV(RtToken name, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::Attribute(RtToken name, ...) {}
RtVoid RibWriter::Identity() {}
RtVoid RibWriter::ConcatTransform(RtMatrix transform) {}
RtVoid RibWriter::Transform(RtMatrix transform) {}
RtVoid RibWriter::Perspective(RtFloat fov) {}
RtVoid RibWriter::Translate(RtFloat dx, RtFloat dy, RtFloat dz) {}
RtVoid RibWriter::Rotate(RtFloat angle, RtFloat dx, RtFloat dy, RtFloat dz) {}
RtVoid RibWriter::Scale(RtFloat sx, RtFloat sy, RtFloat sz) {}
RtVoid RibWriter::Skew(RtFloat angle, RtFloat dx1, RtFloat dy1, RtFloat dz1, RtFloat dx2, RtFloat dy2, RtFloat dz2) {}
RtVoid RibWriter::CoordinateSystem(RtToken space) {}
RtVoid RibWriter::CoordSysTransform(RtToken space) {}
RtPoint * RibWriter::TransformPoints(RtToken fromspace, RtToken tospace, RtInt npoints, RtPoint points[]) { return nullptr; }
RtVoid RibWriter::TransformBegin() {}
RtVoid RibWriter::TransformEnd() {}
RtVoid RibWriter::MotionBegin(RtInt n, ...) {}
RtVoid RibWriter::MotionBeginV(RtInt n, RtFloat times[]) {}
RtVoid RibWriter::MotionEnd() {}
