// Placeholder: these requests write nothing until their family is implemented.
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include "rib/RibWriter.h"

RtVoid RibWriter::MakeTexture(char *picturename, char *texturename, RtToken swrap, RtToken twrap, RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, ...) {}
RtVoid RibWriter::MakeTextureV(char *picturename, char *texturename, RtToken swrap, RtToken twrap, RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::MakeLatLongEnvironment(char *picturename, char *texturename, RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, ...) {}
RtVoid RibWriter::MakeLatLongEnvironmentV(char *picturename, char *texturename, RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::MakeCubeFaceEnvironment(char *px, char *nx, char *py, char *ny, char *pz, char *nz, char *texturename, RtFloat fov, RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, ...) {}
RtVoid RibWriter::MakeCubeFaceEnvironmentV(char *px, char *nx, char *py, char *ny, char *pz, char *nz, char *texturename, RtFloat fov, RtFilterFunc filterfunc, RtFloat swidth, RtFloat twidth, RtInt n, RtToken tokens[], RtPointer values[]) {}
RtVoid RibWriter::MakeShadow(char *picturename, char *texturename, ...) {}
RtVoid RibWriter::MakeShadowV(char *picturename, char *texturename, RtInt n, RtToken tokens[], RtPointer values[]) {}
