// The dialog's template and control ids: included by the template itself
// (resources/yuv4mpeg2.rc), by the dialog procedure and by the tests, so
// each id is written here only. Plain macros, as the resource compiler reads
// this file too.
#pragma once

#define ConfigDialogTemplate 101
#define IdColor420 1001
#define IdColor422 1002
#define IdAspectUnspecified 1003
#define IdAspect4x3 1004
#define IdAspect16x9 1005
#define IdAspectCustom 1006
#define IdAspectNum 1007
#define IdAspectDen 1008
#define IdScanProgressive 1009
#define IdScanTopFirst 1010
#define IdScanBottomFirst 1011
// The layout's third choice and the depths, added after the rest.
#define IdColor444 1012
#define IdDepth8 1013
#define IdDepth10 1014
#define IdDepth12 1015
// Where the stream goes, added with the export into an encoder.
#define IdDestinationFile 1016
#define IdDestinationEncoder 1017
#define IdEncoderName 1018
#define IdEncoderCommandLine 1019
#define IdEditCommands 1020
