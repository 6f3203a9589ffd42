// RequestForms.h - how each request of the interface table (rib/RiRequests.def) is written and
// read: one row per request, beside the interface's row of the same name.
//
//   #define RIB_FORM_Name  Written, Read
//
// Written: how RibWriter writes it (one RIB line, keyword first)
//   Line      the keyword and each fixed argument (numbers as text, texts quoted, a filter by name)
//   Named     the keyword, the first argument (a name, left out when null) and the parameter list
//   Listed    the keyword, the fixed arguments and the parameter list
//   Quadric   the keyword, the fixed arguments and a parameter list sized as a quadric's
//   Own       a body of its own, in the file of its request family
// Read: how the reader takes it back
//   Plain     the fixed arguments, in the row's order and C types
//   Listed    the fixed arguments, then a parameter list of declared sizes
//   Quadric   the fixed arguments, then a parameter list sized as a quadric's
//   Own       a reader of its own (rib/read/RibOwnReaders.cpp, RibGeometryReaders.cpp)
//   None      no RIB form: the request is not read
//
// A code that needs both tables expands a row of the interface table through RIB_WITH_FORM; a row
// without its form here does not compile.
//
//     #define BODY(Written, Read, Name, Parameters, Arguments) BODY_##Written(Name, ...)
//     #define RI_REQUEST(Result, Name, Parameters, Arguments) RIB_WITH_FORM(Name, BODY, ...)
#pragma once

/// Expands to Then(Written, Read, ...) with the form of the request `Name`.
#define RIB_WITH_FORM(Name, Then, ...) RIB_FORM_CALL(Then, RIB_FORM_##Name, __VA_ARGS__)
#define RIB_FORM_CALL(Then, ...) Then(__VA_ARGS__)

// Frame and world blocks
#define RIB_FORM_FrameBegin              Line,     Plain
#define RIB_FORM_FrameEnd                Line,     Plain
#define RIB_FORM_WorldBegin              Line,     Plain
#define RIB_FORM_WorldEnd                Own,      Plain

// Camera options
#define RIB_FORM_Format                  Line,     Plain
#define RIB_FORM_FrameAspectRatio        Line,     Plain
#define RIB_FORM_ScreenWindow            Line,     Plain
#define RIB_FORM_CropWindow              Line,     Plain
#define RIB_FORM_Projection              Named,    Listed
#define RIB_FORM_Clipping                Line,     Plain
#define RIB_FORM_DepthOfField            Line,     Plain
#define RIB_FORM_Shutter                 Line,     Plain

// Display options
#define RIB_FORM_PixelVariance           Line,     Plain
#define RIB_FORM_PixelSamples            Line,     Plain
#define RIB_FORM_PixelFilter             Line,     Plain
#define RIB_FORM_Exposure                Line,     Plain
#define RIB_FORM_Quantize                Line,     Plain
#define RIB_FORM_Display                 Listed,   Listed
#define RIB_FORM_Hider                   Named,    Listed
#define RIB_FORM_ColorSamples            Own,      Own
#define RIB_FORM_RelativeDetail          Line,     Plain
#define RIB_FORM_Option                  Own,      Own

// Attribute block
#define RIB_FORM_AttributeBegin          Line,     Plain
#define RIB_FORM_AttributeEnd            Line,     Plain

// Attributes
#define RIB_FORM_Color                   Own,      Own
#define RIB_FORM_Opacity                 Own,      Own
#define RIB_FORM_TextureCoordinates      Own,      Own
#define RIB_FORM_ShadingRate             Line,     Plain
#define RIB_FORM_ShadingInterpolation    Line,     Plain
#define RIB_FORM_Matte                   Line,     Plain
#define RIB_FORM_Bound                   Own,      Own
#define RIB_FORM_Detail                  Own,      Own
#define RIB_FORM_DetailRange             Line,     Plain
#define RIB_FORM_GeometricApproximation  Line,     Plain
#define RIB_FORM_GeometricRepresentation Line,     Plain
#define RIB_FORM_Sides                   Line,     Plain
#define RIB_FORM_Orientation             Line,     Plain
#define RIB_FORM_ReverseOrientation      Line,     Plain
#define RIB_FORM_Attribute               Named,    Listed

// Transforms
#define RIB_FORM_Identity                Line,     Plain
#define RIB_FORM_ConcatTransform         Own,      Own
#define RIB_FORM_Transform               Own,      Own
#define RIB_FORM_Perspective             Line,     Plain
#define RIB_FORM_Translate               Own,      Plain
#define RIB_FORM_Rotate                  Own,      Plain
#define RIB_FORM_Scale                   Line,     Plain
#define RIB_FORM_Skew                    Own,      Plain
#define RIB_FORM_CoordinateSystem        Line,     Plain
#define RIB_FORM_CoordSysTransform       Line,     Plain
#define RIB_FORM_TransformPoints         Own,      None
#define RIB_FORM_TransformBegin          Line,     Plain
#define RIB_FORM_TransformEnd            Line,     Plain
#define RIB_FORM_MotionBegin             Own,      Own
#define RIB_FORM_MotionEnd               Line,     Plain

// Shaders and lights
#define RIB_FORM_Surface                 Named,    Listed
#define RIB_FORM_Displacement            Named,    Listed
#define RIB_FORM_Atmosphere              Named,    Listed
#define RIB_FORM_Interior                Named,    Listed
#define RIB_FORM_Exterior                Named,    Listed
#define RIB_FORM_Imager                  Named,    Listed
#define RIB_FORM_LightSource             Own,      Own
#define RIB_FORM_AreaLightSource         Own,      Own
#define RIB_FORM_Illuminate              Line,     Plain

// Quadrics and polygons
#define RIB_FORM_Cone                    Quadric,  Quadric
#define RIB_FORM_Cylinder                Quadric,  Quadric
#define RIB_FORM_Disk                    Quadric,  Quadric
#define RIB_FORM_Hyperboloid             Own,      Own
#define RIB_FORM_Paraboloid              Quadric,  Quadric
#define RIB_FORM_Sphere                  Quadric,  Quadric
#define RIB_FORM_Torus                   Quadric,  Quadric
#define RIB_FORM_Polygon                 Own,      Own
#define RIB_FORM_GeneralPolygon          Own,      Own
#define RIB_FORM_PointsPolygons          Own,      Own
#define RIB_FORM_PointsGeneralPolygons   Own,      Own

// Patches and other primitives
#define RIB_FORM_Basis                   Own,      Own
#define RIB_FORM_Patch                   Own,      Own
#define RIB_FORM_PatchMesh               Own,      Own
#define RIB_FORM_TrimCurve               Own,      Own
#define RIB_FORM_NuPatch                 Own,      Own
#define RIB_FORM_Curves                  Own,      Own
#define RIB_FORM_Points                  Own,      Own
#define RIB_FORM_SubdivisionMesh         Own,      Own
#define RIB_FORM_Blobby                  Own,      Own
#define RIB_FORM_Procedural              Own,      Own
#define RIB_FORM_Geometry                Named,    Listed

// Solids and retained objects
#define RIB_FORM_SolidBegin              Line,     Plain
#define RIB_FORM_SolidEnd                Line,     Plain
#define RIB_FORM_ObjectBegin             Own,      Own
#define RIB_FORM_ObjectEnd               Line,     Plain
#define RIB_FORM_ObjectInstance          Line,     Plain

// Texture making
#define RIB_FORM_MakeTexture             Listed,   Listed
#define RIB_FORM_MakeLatLongEnvironment  Listed,   Listed
#define RIB_FORM_MakeCubeFaceEnvironment Listed,   Listed
#define RIB_FORM_MakeShadow              Listed,   Listed

// Declarations, archives, errors
#define RIB_FORM_Declare                 Own,      Own
#define RIB_FORM_ArchiveRecord           Own,      None
#define RIB_FORM_ReadArchive             Named,    Listed
#define RIB_FORM_ErrorHandler            Own,      Own

// Requests of the later interface
#define RIB_FORM_ArchiveBegin            Own,      Own
#define RIB_FORM_ArchiveEnd              Line,     Plain
#define RIB_FORM_IfBegin                 Line,     Plain
#define RIB_FORM_ElseIf                  Line,     Plain
#define RIB_FORM_Else                    Line,     Plain
#define RIB_FORM_IfEnd                   Line,     Plain
#define RIB_FORM_Resource                Listed,   Listed
#define RIB_FORM_ResourceBegin           Line,     Plain
#define RIB_FORM_ResourceEnd             Line,     Plain
#define RIB_FORM_ClippingPlane           Line,     Plain
#define RIB_FORM_Deformation             Named,    Listed
#define RIB_FORM_MakeBump                Listed,   Listed
#define RIB_FORM_MakeOcclusion           Own,      Own
#define RIB_FORM_ShaderLayer             Listed,   Listed
#define RIB_FORM_ConnectShaderLayers     Line,     Plain
