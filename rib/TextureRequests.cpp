// The texture-making requests: texture maps, environment maps and shadow maps.
//
// Each is one line of text whatever the binary flag. The filter is written by its name (empty
// quotes for a function that is not one of the five standard filters). The parameter lists are
// accepted for the interface's sake and not written.
#include "rib/FilterNames.h"
#include "rib/RibWriter.h"

RtVoid RibWriter::MakeTextureV(char *picturename, char *texturename, RtToken swrap,
                               RtToken twrap, RtFilterFunc filterfunc, RtFloat swidth,
                               RtFloat twidth, RtInt, RtToken[], RtPointer[]) {
  writeFormatted("MakeTexture \"%s\" \"%s\" \"%s\" \"%s\" \"%s\" %g %g\n", picturename,
                 texturename, swrap, twrap, filterName(filterfunc), swidth, twidth);
}

RtVoid RibWriter::MakeLatLongEnvironmentV(char *picturename, char *texturename,
                                          RtFilterFunc filterfunc, RtFloat swidth,
                                          RtFloat twidth, RtInt, RtToken[], RtPointer[]) {
  writeFormatted("MakeLatLongEnvironment \"%s\" \"%s\" \"%s\" %g %g\n", picturename, texturename,
                 filterName(filterfunc), swidth, twidth);
}

RtVoid RibWriter::MakeCubeFaceEnvironmentV(char *px, char *nx, char *py, char *ny, char *pz,
                                           char *nz, char *texturename, RtFloat fov,
                                           RtFilterFunc filterfunc, RtFloat swidth,
                                           RtFloat twidth, RtInt, RtToken[], RtPointer[]) {
  writeFormatted("MakeCubeFaceEnvironment \"%s\" \"%s\" \"%s\" \"%s\" \"%s\" \"%s\" \"%s\" %g "
                 "\"%s\" %g %g\n",
                 px, nx, py, ny, pz, nz, texturename, fov, filterName(filterfunc), swidth, twidth);
}

RtVoid RibWriter::MakeShadowV(char *picturename, char *texturename, RtInt, RtToken[],
                              RtPointer[]) {
  writeFormatted("MakeShadow \"%s\" \"%s\"\n", picturename, texturename);
}

