# filled by the utilities tests
